#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "QuarnVPEngineSubsystem.generated.h"

class AQuarnCamera;
class UQuarnMediaLayout;

/** The plug-in's cameras and media layout in game runs. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API UQuarnVPEngineSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	/** The engine's instance; null without an engine or while unavailable. */
	static UQuarnVPEngineSubsystem* Get();
	/** See UQuarnEngineSubsystemBase. */
	static void SetAvailable(bool bAvailable);
	void Initialize(FSubsystemCollectionBase& Collection) override;
	void Deinitialize() override;

	/** Appends the known cameras, destroyed ones included. */
	void GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const;
	/** The media layout of the compositing mode; never null once initialised. */
	UQuarnMediaLayout* GetModeMediaLayout() const;

	void SetCameras(const TArray<AQuarnCamera*>& InCameras);
	void AddCamera(AQuarnCamera* Camera);

private:
	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	UQuarnMediaLayout* MediaLayout = nullptr;
};
