#pragma once

#include "CoreMinimal.h"
#include "LiveLinkQuarnTypes.h"
#include "LiveLinkTypes.h"
#include "QuarnEngineSubsystemBase.h"
#include "QuarnMediaTypes.h"
#include "QuarnStatus.h"
#include "QuarnTrackingTypes.h"
#include "QuarnVirtualProductionSettings.h"
#include "Tickable.h"
#include "QuarnStatusSubsystem.generated.h"

class AActor;
class AQuarnCamera;
class UQuarnLensDistortionComponent;
class UQuarnLiveLinkComponentController;

/** Tracking data of one frame, for Blueprint and other modules. */
UCLASS(BlueprintType)
class QUARNLIVE_API UQuarnStatusFrameData : public UObject
{
	GENERATED_BODY()

public:
	/** Camera transform of the frame */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Live")
	FTransform Transform;

	/** Raw focus encoder value */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Interp, Category = "Quarn|Live")
	int32 RawFocus = 0;

	/** Raw zoom encoder value */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Interp, Category = "Quarn|Live")
	int32 RawZoom = 0;
};

/**
 * Keeps the live status of the virtual-production chain: tracking, lens, video and sync,
 * each a colour and a message for the operator, re-evaluated every 2 seconds.
 */
UCLASS(BlueprintType)
class QUARNLIVE_API UQuarnStatusSubsystem : public UQuarnEngineSubsystemBase, public FTickableGameObject
{
	GENERATED_BODY()

public:
	// Named without the F prefix as the module ships it; kept on purpose.
	/** One evaluated Live Link subject of the last tracking evaluation. */
	struct SnapshotInfo
	{
		FLiveLinkSubjectKey SubjectKey;
		/** The first controller component that receives the subject; not owned. */
		UQuarnLiveLinkComponentController* Controller = nullptr;
		FLiveLinkQuarnFrameData FrameData;
	};

	/** The engine's instance, or null before the engine exists. */
	static UQuarnStatusSubsystem* Get();

	virtual void Initialize(FSubsystemCollectionBase& Collection) override;
	virtual void Deinitialize() override;

	virtual void Tick(float DeltaTime) override;
	virtual ETickableTickType GetTickableTickType() const override;
	virtual TStatId GetStatId() const override;
	virtual bool IsTickableWhenPaused() const override;
	virtual bool IsTickableInEditor() const override;

	/** Get compositing mode from the settings */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live", meta = (Keywords = "Quarn Compositing Mode"))
	EQuarnVirtualProductionMode GetMode();

	/** Get compositing mode from the settings as a string */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live", meta = (Keywords = "Quarn Compositing Mode"))
	FString GetModeAsString();

	// "SnapShot" with a capital S: the shipped Blueprint name, kept on purpose.
	/** Tracking frame of the subject evaluated last */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	FLiveLinkQuarnFrameData GetLastSnapShot();

	/** For clients that want to override the status during play-in-editor */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void OverrideTrackingStatus(FQuarnStatus InTrackingStatus);

	/** For clients that want to override the status during play-in-editor */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void OverrideLensStatus(FQuarnStatus InLensStatus);

	/** For clients that want to override the status during play-in-editor */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void OverrideVideoStatus(FQuarnStatus InVideoStatus);

	/** For clients that want to override the status during play-in-editor */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	void OverrideSyncStatus(FQuarnStatus InSyncStatus);

	/** Every subject evaluated by the last tracking evaluation; rebuilt at each evaluation. */
	const TArray<SnapshotInfo>& GetSnapshots() const;

	EQuarnVirtualProductionMode CachedMode = EQuarnVirtualProductionMode::AugmentedReality;
	FString CachedModeText;
	/** Seconds of tick time since the last evaluation. */
	float TimeSinceLastUpdate = 0.f;
	/** Seconds between evaluations. */
	float UpdateInterval = 2.f;

	/** Live Link sources, subjects and the camera that receives them */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus TrackingStatus;

	/** Lens data in the tracking frames and the lens distortion on the camera */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus LensStatus;

	/** Video cards, formats, media assets, inputs and outputs */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus VideoStatus;

	/** Genlock, timecode provider and timed data */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus SyncStatus;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FFrameNumber FrameNumber;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FString CameraSubjectName;

	/** Video input as the media module describes it (game runs) */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus VideoInput;

	/** Video output as the media module describes it (game runs) */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Quarn|Live")
	FQuarnStatus VideoOutput;

	/** Play-in-editor runs; evaluation is suspended meanwhile. */
	bool bInPIE = false;

private:
	UPROPERTY()
	bool bHasSubscribed = false;

	UPROPERTY()
	bool bHasAttachedDelegates = false;

	UPROPERTY()
	bool bIsRendering = false;

	UPROPERTY()
	TArray<FName> SubjectNames;

	TArray<SnapshotInfo> Snapshots;
	// Not owned: end of play may find them destroyed, so they are held weakly.
	TArray<TWeakObjectPtr<UQuarnLiveLinkComponentController>> SubscribedTrackingComponents;
	TArray<TWeakObjectPtr<UQuarnLensDistortionComponent>> SubscribedLensComponents;

	void UpdateStatus();
	void UpdateTrackingStatus();
	void UpdateLensStatus();
	void UpdateVideoStatus();
	void UpdateSyncStatus();

	bool ErrorTrackingStatus(EQuarnTrackingStatus Status) const;
	bool WarningTrackingStatus(EQuarnTrackingStatus Status) const;

	void OnBeginPIE(bool bIsSimulating);
	void OnEndPIE(bool bIsSimulating);
	void OnActiveCameraChanged(TWeakObjectPtr<AActor> Camera);
	void OnBundlePlayingChanged(EQuarnMediaIOSignal Signal, bool bValue);
	void OnBundleCapturingChanged(EQuarnMediaIOSignal Signal, bool bValue);
	void OnMediaTimeStepSynchronizedStateChanged(EQuarnMediaTimeStepSynchronizationState State);
	void OnMediaProviderSynchronizedStateChanged(EQuarnMediaProviderSynchronizationState State);

	void TrackingStatusChangedInPIE(bool bOk);
	void LensStatusChangedInPIE(bool bOk);
	void VideoStatusChangedInPIE(bool bOk);
	void SyncStatusChangedInPIE(bool bOk);

	bool GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const;
	TArray<UQuarnLiveLinkComponentController*> GetQuarnLiveLinkComponents() const;

	friend struct FQuarnStatusSubsystemTestAccess;
};
