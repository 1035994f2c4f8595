#include "QuarnStatusSubsystem.h"

#include "Editor.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "QuarnCamera.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveLog.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "Status/QuarnTrackingRules.h"
#include "UObject/Class.h"

UQuarnStatusSubsystem* UQuarnStatusSubsystem::Get()
{
	if (!GEngine)
	{
		return nullptr;
	}
	return GEngine->GetEngineSubsystem<UQuarnStatusSubsystem>();
}

void UQuarnStatusSubsystem::Initialize(FSubsystemCollectionBase& Collection)
{
	Super::Initialize(Collection);
	FEditorDelegates::BeginPIE.AddUObject(this, &UQuarnStatusSubsystem::OnBeginPIE);
	FEditorDelegates::EndPIE.AddUObject(this, &UQuarnStatusSubsystem::OnEndPIE);
}

void UQuarnStatusSubsystem::Deinitialize()
{
	FEditorDelegates::BeginPIE.RemoveAll(this);
	FEditorDelegates::EndPIE.RemoveAll(this);
	if (UQuarnVPEditorSubsystem* VPEditorSubsystem = UQuarnVPEditorSubsystem::Get())
	{
		VPEditorSubsystem->OnActiveCameraChangedDelegate.RemoveAll(this);
	}
	if (UQuarnMediaEditorSubsystem* MediaEditorSubsystem = UQuarnMediaEditorSubsystem::Get())
	{
		MediaEditorSubsystem->OnBundlePlayingChangedDelegate.RemoveAll(this);
		MediaEditorSubsystem->OnBundleCapturingChangedDelegate.RemoveAll(this);
		MediaEditorSubsystem->OnBundleTimeStepSynchronizedStateChanged().RemoveAll(this);
		MediaEditorSubsystem->OnBundleProviderSynchronizedStateChanged().RemoveAll(this);
	}
	Super::Deinitialize();
}

void UQuarnStatusSubsystem::Tick(float DeltaTime)
{
	if (bInPIE)
	{
		return;
	}

	TimeSinceLastUpdate += DeltaTime;
	if (TimeSinceLastUpdate > UpdateInterval)
	{
		// The excess is dropped: a long frame never causes catch-up evaluations.
		TimeSinceLastUpdate = 0.f;
		UpdateStatus();
	}

	UQuarnVPEditorSubsystem* VPEditorSubsystem = UQuarnVPEditorSubsystem::Get();
	if (!VPEditorSubsystem)
	{
		return;
	}

	if (!bHasAttachedDelegates)
	{
		// Set first: a media editor subsystem missing now is not asked for again.
		bHasAttachedDelegates = true;
		VPEditorSubsystem->OnActiveCameraChangedDelegate.AddUObject(this, &UQuarnStatusSubsystem::OnActiveCameraChanged);
		if (UQuarnMediaEditorSubsystem* MediaEditorSubsystem = UQuarnMediaEditorSubsystem::Get())
		{
			MediaEditorSubsystem->OnBundlePlayingChangedDelegate.AddUObject(this, &UQuarnStatusSubsystem::OnBundlePlayingChanged);
			MediaEditorSubsystem->OnBundleCapturingChangedDelegate.AddUObject(this, &UQuarnStatusSubsystem::OnBundleCapturingChanged);
			MediaEditorSubsystem->OnBundleTimeStepSynchronizedStateChanged().AddUObject(
				this, &UQuarnStatusSubsystem::OnMediaTimeStepSynchronizedStateChanged);
			MediaEditorSubsystem->OnBundleProviderSynchronizedStateChanged().AddUObject(
				this, &UQuarnStatusSubsystem::OnMediaProviderSynchronizedStateChanged);
		}
	}

	if (VPEditorSubsystem->bPollActiveCamera)
	{
		VPEditorSubsystem->GetQuarnCamera();
	}
}

ETickableTickType UQuarnStatusSubsystem::GetTickableTickType() const
{
	return IsTemplate() ? ETickableTickType::Never : ETickableTickType::Always;
}

TStatId UQuarnStatusSubsystem::GetStatId() const
{
	return GetStatID();
}

bool UQuarnStatusSubsystem::IsTickableWhenPaused() const
{
	return false;
}

bool UQuarnStatusSubsystem::IsTickableInEditor() const
{
	return true;
}

EQuarnVirtualProductionMode UQuarnStatusSubsystem::GetMode()
{
	const UQuarnVirtualProductionSettings* Settings = GetMutableDefault<UQuarnVirtualProductionSettings>();
	if (!Settings)
	{
		UE_LOG(LogQuarnLive, Error, TEXT("Quarn settings could not be retrieved"));
		return EQuarnVirtualProductionMode::VirtualStudio;
	}
	return Settings->CompositingMode;
}

FString UQuarnStatusSubsystem::GetModeAsString()
{
	CachedMode = GetMode();
	if (GIsSavingPackage)
	{
		return TEXT("Invalid");
	}
	return StaticEnum<EQuarnVirtualProductionMode>()->GetDisplayNameTextByValue(static_cast<int64>(GetMode())).ToString();
}

FLiveLinkQuarnFrameData UQuarnStatusSubsystem::GetLastSnapShot()
{
	FLiveLinkQuarnFrameData FrameData;
	if (Snapshots.IsEmpty())
	{
		return FrameData;
	}
	return Snapshots[Snapshots.Num() - 1].FrameData;
}

const TArray<UQuarnStatusSubsystem::SnapshotInfo>& UQuarnStatusSubsystem::GetSnapshots() const
{
	return Snapshots;
}

void UQuarnStatusSubsystem::UpdateStatus()
{
	UpdateTrackingStatus();
	UpdateLensStatus();
	UpdateVideoStatus();
	UpdateSyncStatus();
}

bool UQuarnStatusSubsystem::ErrorTrackingStatus(EQuarnTrackingStatus Status) const
{
	return QuarnTrackingRules::IsErrorStatus(Status);
}

bool UQuarnStatusSubsystem::WarningTrackingStatus(EQuarnTrackingStatus Status) const
{
	return QuarnTrackingRules::IsWarningStatus(Status);
}
