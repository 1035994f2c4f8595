#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "QuarnVPEditorSubsystem.generated.h"

class AActor;
class AQuarnCamera;

/** The camera now active in the editor; null when none is. */
DECLARE_MULTICAST_DELEGATE_OneParam(FOnActiveCameraChanged, TWeakObjectPtr<AActor>);

/** The plug-in's cameras and the active camera in editor runs. */
UCLASS()
class QUARNVIRTUALPRODUCTIONEDITOR_API UQuarnVPEditorSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	/** The engine's instance; null without an engine, in game runs or while unavailable. */
	static UQuarnVPEditorSubsystem* Get();
	/** See UQuarnEngineSubsystemBase. */
	static void SetAvailable(bool bAvailable);

	/** Only editor runs have it. */
	bool ShouldCreateSubsystem(UObject* Outer) const override;
	void Initialize(FSubsystemCollectionBase& Collection) override;
	void Deinitialize() override;

	/** Appends the known cameras, destroyed ones included. */
	void GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const;
	/** The active camera, or null; every call is counted. */
	AActor* GetQuarnCamera();
	int32 GetQuarnCameraCallCount() const { return QuarnCameraCallCount; }

	/** Set when the active camera must be asked for every frame rather than notified. */
	bool bPollActiveCamera = false;

	FOnActiveCameraChanged OnActiveCameraChangedDelegate;

	void SetCameras(const TArray<AQuarnCamera*>& InCameras);
	void AddCamera(AQuarnCamera* Camera);
	/** Makes Camera the active camera and broadcasts OnActiveCameraChangedDelegate. */
	void SetActiveCamera(AActor* Camera);

private:
	// Asked for on every editor tick, so the instance is kept at hand rather than looked up.
	static inline UQuarnVPEditorSubsystem* Instance = nullptr;

	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	TWeakObjectPtr<AActor> ActiveCamera;
	int32 QuarnCameraCallCount = 0;
};
