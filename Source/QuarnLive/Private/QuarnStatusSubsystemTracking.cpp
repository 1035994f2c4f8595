// Tracking leg: Live Link sources and subjects, and the cameras that receive them.

#include "QuarnStatusSubsystem.h"

#include "Features/IModularFeatures.h"
#include "GameFramework/Actor.h"
#include "ILiveLinkClient.h"
#include "LiveLinkSourceSettings.h"
#include "Misc/CoreMisc.h"
#include "QuarnCamera.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveLinkSourceSettings.h"
#include "QuarnLiveLinkSubjectSettings.h"
#include "QuarnLiveLog.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnZentrelSubsystem.h"
#include "UObject/Class.h"

namespace
{
	struct FQuarnSubjectCandidate
	{
		UQuarnLiveLinkSubjectSettings* Settings = nullptr;
		FLiveLinkSubjectKey Key;
	};

	// The tracking module marks a subject without tracking data with this state's text.
	constexpr int64 NoTrackingDataStatusValue = 15;
}

void UQuarnStatusSubsystem::UpdateTrackingStatus()
{
	TrackingStatus = FQuarnStatus();

	// Without a registered client there is nothing to discover: the verdict then reports no source.
	ILiveLinkClient* LiveLinkClient = static_cast<ILiveLinkClient*>(
		IModularFeatures::Get().GetModularFeatureImplementation(ILiveLinkClient::ModularFeatureName, 0));

	Snapshots.Empty();
	SubjectNames.Empty();

	int32 QuarnSourceCount = 0;
	TArray<FQuarnSubjectCandidate> Candidates;
	if (LiveLinkClient)
	{
		for (const FGuid& SourceGuid : LiveLinkClient->GetSources(false))
		{
			ULiveLinkSourceSettings* SourceSettings = LiveLinkClient->GetSourceSettings(SourceGuid);
			if (!SourceSettings || !SourceSettings->IsA(UQuarnLiveLinkSourceSettings::StaticClass()))
			{
				continue;
			}
			++QuarnSourceCount;

			for (const FLiveLinkSubjectKey& SubjectKey : LiveLinkClient->GetSubjects(false, false))
			{
				UObject* SubjectSettings = LiveLinkClient->GetSubjectSettings(FLiveLinkSubjectKey(SourceGuid, SubjectKey.SubjectName));
				if (SubjectSettings && SubjectSettings->IsA(UQuarnLiveLinkSubjectSettings::StaticClass()))
				{
					SubjectNames.Add(SubjectKey.SubjectName.Name);
					Candidates.Add({static_cast<UQuarnLiveLinkSubjectSettings*>(SubjectSettings), SubjectKey});
				}
			}
		}
	}

	const TArray<UQuarnLiveLinkComponentController*> Controllers = GetQuarnLiveLinkComponents();

	const UQuarnVirtualProductionSettings* Settings = GetMutableDefault<UQuarnVirtualProductionSettings>();
	if (!Settings)
	{
		UE_LOG(LogQuarnLive, Error, TEXT("Quarn settings could not be retrieved"));
		return;
	}
	CameraSubjectName = FString();

	bool bNoTrackingData = false;
	bool bSubjectError = false;
	bool bNothingReceiving = true;
	bool bSubjectWarning = false;

	for (const FQuarnSubjectCandidate& Candidate : Candidates)
	{
		const FString SubjectName = Candidate.Key.SubjectName.Name.ToString();

		const FString NoDataMarker = (GIsSavingPackage || GIsGarbageCollecting)
			? FString(TEXT("Invalid"))
			: StaticEnum<EQuarnTrackingStatus>()->GetDisplayNameTextByValue(NoTrackingDataStatusValue).ToString();
		if (Candidate.Settings->TrackingStatusText.Equals(NoDataMarker, ESearchCase::IgnoreCase))
		{
			TrackingStatus.Color = FLinearColor::Red;
			TrackingStatus.Message = FString::Printf(
				TEXT("No tracking data: Use the Zentrels panel to Auto-Configure the Zentrel for subject %s"), *SubjectName);
			bNoTrackingData = true;
			break;
		}

		FLiveLinkSubjectFrameData SubjectFrame;
		const TSubclassOf<ULiveLinkRole> Role = LiveLinkClient->GetSubjectRole_AnyThread(Candidate.Key.SubjectName);
		LiveLinkClient->EvaluateFrame_AnyThread(Candidate.Key.SubjectName, Role, SubjectFrame);
		const FLiveLinkQuarnFrameData* FrameData = SubjectFrame.FrameData.Cast<FLiveLinkQuarnFrameData>();
		if (!FrameData)
		{
			UE_LOG(LogQuarnLive, Error, TEXT("FrameData was nullptr for Subject %s"), *SubjectName);
			continue;
		}

		SnapshotInfo& Snapshot = Snapshots.AddDefaulted_GetRef();
		Snapshot.SubjectKey = Candidate.Key;
		Snapshot.FrameData = *FrameData;

		bSubjectError = ErrorTrackingStatus(FrameData->FrameStatus);
		if (Settings->bReportSubjectTrackingErrors && bSubjectError)
		{
			TrackingStatus.Color = FLinearColor::Red;
			TrackingStatus.Message = FString::Printf(
				TEXT("Subject named %s has tracking status %s: Use the Zentrels panel to VNC into the Zentrel and look for errors or warnings on the display"),
				*SubjectName, *Candidate.Settings->TrackingStatusText);
			break;
		}

		for (UQuarnLiveLinkComponentController* Controller : Controllers)
		{
			if (Controller->ControlledSubject.Name == Candidate.Key.SubjectName.Name)
			{
				Snapshot.Controller = Controller;
				break;
			}
		}

		if (Snapshot.Controller)
		{
			bNothingReceiving = false;
			const AActor* Camera = Snapshot.Controller->GetOwner();
			if (Camera && WarningTrackingStatus(FrameData->FrameStatus))
			{
				TrackingStatus.Color = FLinearColor::Yellow;
				TrackingStatus.Message = FString::Printf(TEXT("At least one tracked actor has < Optical Good: %s has status %s"),
					*Camera->GetName(), *Candidate.Settings->TrackingStatusText);
				bSubjectWarning = true;
			}
		}
	}

	const UQuarnZentrelSubsystem* ZentrelSubsystem = UQuarnZentrelSubsystem::Get();
	if (!IsRunningGame() && ZentrelSubsystem && Settings->bCheckZentrelCount && ZentrelSubsystem->GetZentrelNum() == 0)
	{
		TrackingStatus.Color = FLinearColor::Red;
		TrackingStatus.Message = TEXT("No Zentrels found: Use the Zentrels panel to Auto-Configure the Zentrel");
	}
	else if (QuarnSourceCount == 0)
	{
		TrackingStatus.Color = FLinearColor::Red;
		TrackingStatus.Message = TEXT("No LiveLink Source: Add a Quarn source in the LiveLink window");
	}
	else if (SubjectNames.IsEmpty())
	{
		TrackingStatus.Color = FLinearColor::Red;
		TrackingStatus.Message = TEXT(
			"No LiveLink Subject: To add a Quarn subject select the Quarn source in the LiveLink window, add a subject name and select Add New Subject");
	}
	else if (bNoTrackingData || bSubjectError)
	{
		// Both keep what the pass over the subjects wrote.
	}
	else if (bNothingReceiving)
	{
		TrackingStatus.Color = FLinearColor::Yellow;
		TrackingStatus.Message = TEXT(
			"LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's LiveLink component select the appropriate LiveLink subject.");
	}
	else if (!bSubjectWarning)
	{
		TrackingStatus.Color = FLinearColor::Green;
		TrackingStatus.Message = FString();
	}
}


bool UQuarnStatusSubsystem::GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const
{
	if (IsRunningGame())
	{
		const UQuarnVPEngineSubsystem* VPEngineSubsystem = UQuarnVPEngineSubsystem::Get();
		if (!VPEngineSubsystem)
		{
			return false;
		}
		VPEngineSubsystem->GetQuarnCameras(OutCameras);
	}
	else
	{
		const UQuarnVPEditorSubsystem* VPEditorSubsystem = UQuarnVPEditorSubsystem::Get();
		if (!VPEditorSubsystem)
		{
			return false;
		}
		VPEditorSubsystem->GetQuarnCameras(OutCameras);
	}
	OutCameras.RemoveAll([](const TWeakObjectPtr<AQuarnCamera>& Camera) { return !Camera.IsValid(); });
	return !OutCameras.IsEmpty();
}

TArray<UQuarnLiveLinkComponentController*> UQuarnStatusSubsystem::GetQuarnLiveLinkComponents() const
{
	TArray<UQuarnLiveLinkComponentController*> Result;
	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	if (!GetQuarnCameras(Cameras))
	{
		return Result;
	}
	for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
	{
		if (!Camera.IsValid())
		{
			continue;
		}
		UActorComponent* Component = Camera->GetComponentByClass(UQuarnLiveLinkComponentController::StaticClass());
		if (Component && Component->IsA(UQuarnLiveLinkComponentController::StaticClass()))
		{
			Result.Add(static_cast<UQuarnLiveLinkComponentController*>(Component));
		}
	}
	return Result;
}
