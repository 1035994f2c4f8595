// Play-in-editor: evaluation pauses and the statuses follow overrides and notifications.

#include "GameFramework/Actor.h"
#include "QuarnCamera.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnStatusSubsystem.h"
#include "UObject/Class.h"

namespace
{
	FQuarnStatus MakePIEStatus(bool bOk)
	{
		FQuarnStatus Status;
		Status.Color = bOk ? FLinearColor::Green : FLinearColor::Red;
		return Status;
	}

	void CopyIfPlaying(bool bInPIE, FQuarnStatus& Target, const FQuarnStatus& Source)
	{
		if (bInPIE)
		{
			Target.Color = Source.Color;
			Target.Message = Source.Message;
		}
	}
} // namespace

void UQuarnStatusSubsystem::OverrideTrackingStatus(FQuarnStatus InTrackingStatus) { CopyIfPlaying(bInPIE, TrackingStatus, InTrackingStatus); }
void UQuarnStatusSubsystem::OverrideLensStatus(FQuarnStatus InLensStatus) { CopyIfPlaying(bInPIE, LensStatus, InLensStatus); }
void UQuarnStatusSubsystem::OverrideVideoStatus(FQuarnStatus InVideoStatus) { CopyIfPlaying(bInPIE, VideoStatus, InVideoStatus); }
void UQuarnStatusSubsystem::OverrideSyncStatus(FQuarnStatus InSyncStatus) { CopyIfPlaying(bInPIE, SyncStatus, InSyncStatus); }

void UQuarnStatusSubsystem::TrackingStatusChangedInPIE(bool bOk) { CopyIfPlaying(bInPIE, TrackingStatus, MakePIEStatus(bOk)); }
void UQuarnStatusSubsystem::LensStatusChangedInPIE(bool bOk) { CopyIfPlaying(bInPIE, LensStatus, MakePIEStatus(bOk)); }
void UQuarnStatusSubsystem::VideoStatusChangedInPIE(bool bOk) { CopyIfPlaying(bInPIE, VideoStatus, MakePIEStatus(bOk)); }
void UQuarnStatusSubsystem::SyncStatusChangedInPIE(bool bOk) { CopyIfPlaying(bInPIE, SyncStatus, MakePIEStatus(bOk)); }

void UQuarnStatusSubsystem::OnBundlePlayingChanged(EQuarnMediaIOSignal Signal, bool bValue)
{
	VideoStatusChangedInPIE(bValue);
}

void UQuarnStatusSubsystem::OnBundleCapturingChanged(EQuarnMediaIOSignal Signal, bool bValue)
{
	VideoStatusChangedInPIE(bValue);
}

void UQuarnStatusSubsystem::OnMediaTimeStepSynchronizedStateChanged(EQuarnMediaTimeStepSynchronizationState State)
{
	SyncStatusChangedInPIE(static_cast<int32>(State) == 2);
}

void UQuarnStatusSubsystem::OnMediaProviderSynchronizedStateChanged(EQuarnMediaProviderSynchronizationState State)
{
	SyncStatusChangedInPIE(static_cast<int32>(State) == 2);
}

void UQuarnStatusSubsystem::OnBeginPIE(bool bIsSimulating)
{
	bInPIE = true;
}

void UQuarnStatusSubsystem::OnActiveCameraChanged(TWeakObjectPtr<AActor> Camera)
{
	AActor* Actor = Camera.Get();
	if (!bInPIE || bHasSubscribed || !Actor || !Actor->IsA(AQuarnCamera::StaticClass()))
	{
		return;
	}

	UActorComponent* TrackingComponent = Actor->GetComponentByClass(UQuarnLiveLinkComponentController::StaticClass());
	if (!TrackingComponent || !TrackingComponent->IsA(UQuarnLiveLinkComponentController::StaticClass()))
	{
		return;
	}
	UQuarnLiveLinkComponentController* Controller = static_cast<UQuarnLiveLinkComponentController*>(TrackingComponent);
	Controller->OnTrackingStatusChangedInPIE.AddUObject(this, &UQuarnStatusSubsystem::TrackingStatusChangedInPIE);
	SubscribedTrackingComponents.Add(Controller);

	UActorComponent* LensComponent = Actor->GetComponentByClass(UQuarnLensDistortionComponent::StaticClass());
	if (!LensComponent || !LensComponent->IsA(UQuarnLensDistortionComponent::StaticClass()))
	{
		return;
	}
	UQuarnLensDistortionComponent* LensDistortion = static_cast<UQuarnLensDistortionComponent*>(LensComponent);
	LensDistortion->OnLensStatusChangedInPIE.AddUObject(this, &UQuarnStatusSubsystem::LensStatusChangedInPIE);
	SubscribedLensComponents.Add(LensDistortion);
	bHasSubscribed = true;
}

void UQuarnStatusSubsystem::OnEndPIE(bool bIsSimulating)
{
	// Cameras with a tracking component but no lens component leave subscriptions without
	// setting bHasSubscribed; they are undone here too. The weak entries of destroyed
	// components resolve to null and are never touched.
	for (const TWeakObjectPtr<UQuarnLiveLinkComponentController>& Controller : SubscribedTrackingComponents)
	{
		if (UQuarnLiveLinkComponentController* Component = Controller.Get(true))
		{
			Component->OnTrackingStatusChangedInPIE.RemoveAll(this);
		}
	}
	for (const TWeakObjectPtr<UQuarnLensDistortionComponent>& LensDistortion : SubscribedLensComponents)
	{
		if (UQuarnLensDistortionComponent* Component = LensDistortion.Get(true))
		{
			Component->OnLensStatusChangedInPIE.RemoveAll(this);
		}
	}
	SubscribedTrackingComponents.Empty();
	SubscribedLensComponents.Empty();
	bInPIE = false;
	bHasSubscribed = false;
}
