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
	SyncStatusChangedInPIE(State == EQuarnMediaTimeStepSynchronizationState::Synchronized);
}

void UQuarnStatusSubsystem::OnMediaProviderSynchronizedStateChanged(EQuarnMediaProviderSynchronizationState State)
{
	SyncStatusChangedInPIE(State == EQuarnMediaProviderSynchronizationState::Synchronized);
}

void UQuarnStatusSubsystem::OnBeginPIE(bool bIsSimulating)
{
	bInPIE = true;
}

void UQuarnStatusSubsystem::OnActiveCameraChanged(TWeakObjectPtr<AActor> Camera)
{
	AActor* Actor = Camera.Get();
	if (!bInPIE || bHasSubscribed || !Cast<AQuarnCamera>(Actor))
	{
		return;
	}

	UQuarnLiveLinkComponentController* Controller = Cast<UQuarnLiveLinkComponentController>(Actor->GetComponentByClass(UQuarnLiveLinkComponentController::StaticClass()));
	if (!Controller)
	{
		return;
	}
	Controller->OnTrackingStatusChangedInPIE.AddUObject(this, &UQuarnStatusSubsystem::TrackingStatusChangedInPIE);
	SubscribedTrackingComponents.Add(Controller);

	UQuarnLensDistortionComponent* LensDistortion = Cast<UQuarnLensDistortionComponent>(Actor->GetComponentByClass(UQuarnLensDistortionComponent::StaticClass()));
	if (!LensDistortion)
	{
		return;
	}
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
