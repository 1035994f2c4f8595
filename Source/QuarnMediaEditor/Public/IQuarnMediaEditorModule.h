#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"

/** What the media editor module knows about the video hardware and the media assets. */
class IQuarnMediaEditorModule : public IModuleInterface
{
public:
	static IQuarnMediaEditorModule& Get() { return FModuleManager::LoadModuleChecked<IQuarnMediaEditorModule>(TEXT("QuarnMediaEditor")); }
	static bool IsAvailable() { return FModuleManager::Get().IsModuleLoaded(TEXT("QuarnMediaEditor")); }

	/** Whether video cards are installed. */
	virtual bool HasVideoCards() const = 0;
	/** The input and output video formats ("1080p25"); false when they cannot be read. */
	virtual bool GetMediaIOFormats(FString& OutInputFormat, FString& OutOutputFormat) const = 0;
	/** The video cards' numbers for the input and output formats. */
	virtual int32 GetInputFormatKind() const = 0;
	virtual int32 GetOutputFormatKind() const = 0;
	virtual FFrameRate GetInputFrameRate() const = 0;
	virtual FFrameRate GetOutputFrameRate() const = 0;
	/** How many media input and output assets the project has. */
	virtual void GetMediaAssetCounts(int32& OutInputs, int32& OutOutputs) const = 0;
	/** Which inputs play and which outputs capture. */
	virtual void GetSignalStates(bool& OutInputPlaying, bool& OutKeyInputPlaying, bool& OutOutputCapturing, bool& OutKeyOutputCapturing) const = 0;
	/** The input and output as the video card describes them, for the operator. */
	virtual FString GetInputDescription() const = 0;
	virtual FString GetOutputDescription() const = 0;
};
