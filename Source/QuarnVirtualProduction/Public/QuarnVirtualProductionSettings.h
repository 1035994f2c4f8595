#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "QuarnVirtualProductionSettings.generated.h"

/** How the studio picture is made. */
UENUM(BlueprintType)
enum class EQuarnVirtualProductionMode : uint8
{
	/** Graphics composited over the camera picture. */
	AugmentedReality UMETA(DisplayName = "Augmented Reality"),
	/** The talent keyed into a virtual set. */
	VirtualStudio UMETA(DisplayName = "Virtual Studio"),
	/** Graphics only, without a camera picture. */
	GraphicsOnly UMETA(DisplayName = "Graphics Only"),
	/** Graphics sent as key and fill to an external mixer. */
	KeyAndFill UMETA(DisplayName = "Key And Fill"),
};

/** Project settings of the virtual-production plug-in. */
UCLASS(config = Game, defaultconfig)
class QUARNVIRTUALPRODUCTION_API UQuarnVirtualProductionSettings : public UObject
{
	GENERATED_BODY()

public:
	/** How the studio picture is made */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|VP")
	EQuarnVirtualProductionMode CompositingMode = EQuarnVirtualProductionMode::AugmentedReality;

	/** Check that the number of Zentrel tracking devices matches the number of cameras */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|VP")
	bool bCheckZentrelCount = true;

	/** Report tracking errors of the Live Link subjects */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|VP")
	bool bReportSubjectTrackingErrors = true;

	/** Frame rate of the video inputs and outputs */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Media")
	FFrameRate MediaFrameRate = FFrameRate(25, 1);

	/** Video format of the inputs and outputs, for example 1080p25 */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Media")
	FString MediaFormat = TEXT("1080p25");

	/** Kind of video format: the number the video cards use for it */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Media")
	int32 MediaFormatKind = 0;

	/** The engine's frames are paced by the video input (custom time step) */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Media")
	bool bHasTimeStep = false;

	/** Timecode comes from the video input rather than the system clock */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Media")
	bool bUseCustomTimecodeProvider = false;

	FString GetMediaFormatString() const
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnVirtualProductionSettings::GetMediaFormatString"), {}, MediaFormat);
		}
		return MediaFormat;
	}
};
