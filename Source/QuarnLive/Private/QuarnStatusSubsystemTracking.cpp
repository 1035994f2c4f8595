// Tracking leg: Live Link sources and subjects, and the cameras that receive them.

#include "QuarnStatusSubsystem.h"

#include "Features/IModularFeatures.h"
#include "GameFramework/Actor.h"
#include "ILiveLinkClient.h"
#include "LiveLinkSourceSettings.h"
#include "QuarnCamera.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveLinkSourceSettings.h"
#include "QuarnLiveLinkSubjectSettings.h"
#include "QuarnLiveLog.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnZentrelSubsystem.h"
#include "Status/QuarnTrackingRules.h"
#include "UObject/Class.h"

using namespace QuarnTrackingRules;

namespace
{
	using FSnapshot = UQuarnStatusSubsystem::SnapshotInfo;

	struct FQuarnSubjectCandidate
	{
		UQuarnLiveLinkSubjectSettings* Settings = nullptr;
		FLiveLinkSubjectKey Key;
	};

	// Without a registered client there is nothing to discover: the verdict then reports no source.
	ILiveLinkClient* FindLiveLinkClient()
	{
		return static_cast<ILiveLinkClient*>(IModularFeatures::Get().GetModularFeatureImplementation(ILiveLinkClient::ModularFeatureName, 0));
	}

	// Every subject with Quarn settings is a candidate under each Quarn source; returns the
	// number of Quarn sources.
	int32 DiscoverQuarnSubjects(ILiveLinkClient* LiveLinkClient, TArray<FName>& OutSubjectNames, TArray<FQuarnSubjectCandidate>& OutCandidates)
	{
		int32 QuarnSourceCount = 0;
		if (!LiveLinkClient)
		{
			return QuarnSourceCount;
		}
		for (const FGuid& SourceGuid : LiveLinkClient->GetSources(false))
		{
			if (!Cast<UQuarnLiveLinkSourceSettings>(LiveLinkClient->GetSourceSettings(SourceGuid)))
			{
				continue;
			}
			++QuarnSourceCount;

			for (const FLiveLinkSubjectKey& SubjectKey : LiveLinkClient->GetSubjects(false, false))
			{
				UObject* SubjectSettings = LiveLinkClient->GetSubjectSettings(FLiveLinkSubjectKey(SourceGuid, SubjectKey.SubjectName));
				if (UQuarnLiveLinkSubjectSettings* QuarnSubjectSettings = Cast<UQuarnLiveLinkSubjectSettings>(SubjectSettings))
				{
					OutSubjectNames.Add(SubjectKey.SubjectName.Name);
					OutCandidates.Add({QuarnSubjectSettings, SubjectKey});
				}
			}
		}
		return QuarnSourceCount;
	}

	// The tracking module's text for a subject without tracking data; while the engine saves
	// or collects garbage the enumeration's texts are not read.
	FString NoTrackingDataText()
	{
		return (GIsSavingPackage || GIsGarbageCollecting)
			? FString(TEXT("Invalid"))
			: StaticEnum<EQuarnTrackingStatus>()->GetDisplayNameTextByValue(static_cast<int64>(EQuarnTrackingStatus::NoData)).ToString();
	}

	UQuarnLiveLinkComponentController* FindReceiver(const TArray<UQuarnLiveLinkComponentController*>& Controllers, const FLiveLinkSubjectKey& Key)
	{
		for (UQuarnLiveLinkComponentController* Controller : Controllers)
		{
			if (Controller->ControlledSubject.Name == Key.SubjectName.Name)
			{
				return Controller;
			}
		}
		return nullptr;
	}

	// One pass over the candidates: each evaluated subject leaves a snapshot; no tracking data
	// or a reported subject error stops the pass.
	void EvaluateSubjects(ILiveLinkClient* LiveLinkClient, const TArray<FQuarnSubjectCandidate>& Candidates,
		const TArray<UQuarnLiveLinkComponentController*>& Controllers, const UQuarnVirtualProductionSettings& Settings,
		TArray<FSnapshot>& Snapshots, FQuarnTrackingFindings& Findings)
	{
		for (const FQuarnSubjectCandidate& Candidate : Candidates)
		{
			const FString SubjectName = Candidate.Key.SubjectName.Name.ToString();
			const FString& TrackingStatusText = Candidate.Settings->TrackingStatusText;
			if (const FQuarnStatusFinding Finding = SubjectHasTrackingData(TrackingStatusText, NoTrackingDataText(), SubjectName))
			{
				Findings.SubjectPassStatus = Finding.GetValue();
				Findings.bNoTrackingData = true;
				return;
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

			FSnapshot& Snapshot = Snapshots.AddDefaulted_GetRef();
			Snapshot.SubjectKey = Candidate.Key;
			Snapshot.FrameData = *FrameData;

			Findings.bSubjectError = IsErrorStatus(FrameData->FrameStatus);
			if (const FQuarnStatusFinding Finding = SubjectHasNoReportedError(Settings.bReportSubjectTrackingErrors && Findings.bSubjectError, SubjectName, TrackingStatusText))
			{
				Findings.SubjectPassStatus = Finding.GetValue();
				return;
			}

			Snapshot.Controller = FindReceiver(Controllers, Candidate.Key);
			if (Snapshot.Controller)
			{
				Findings.bNothingReceiving = false;
				const AActor* Camera = Snapshot.Controller->GetOwner();
				if (Camera && IsWarningStatus(FrameData->FrameStatus))
				{
					Findings.SubjectPassStatus = TrackedActorBelowOpticalGood(Camera->GetName(), TrackingStatusText);
					Findings.bSubjectWarning = true;
				}
			}
		}
	}

	// Asked only as far as the conditions before each question hold.
	bool AreZentrelsMissing(const UQuarnVirtualProductionSettings& Settings)
	{
		const UQuarnZentrelSubsystem* ZentrelSubsystem = UQuarnZentrelSubsystem::Get();
		return StaticGameCheck() != 1 && ZentrelSubsystem && Settings.bCheckZentrelCount && ZentrelSubsystem->GetZentrelNum() == 0;
	}
} // namespace

void UQuarnStatusSubsystem::UpdateTrackingStatus()
{
	TrackingStatus = FQuarnStatus();
	ILiveLinkClient* LiveLinkClient = FindLiveLinkClient();
	Snapshots.Empty();
	SubjectNames.Empty();

	FQuarnTrackingFindings Findings;
	TArray<FQuarnSubjectCandidate> Candidates;
	Findings.NumQuarnSources = DiscoverQuarnSubjects(LiveLinkClient, SubjectNames, Candidates);
	const TArray<UQuarnLiveLinkComponentController*> Controllers = GetQuarnLiveLinkComponents();

	const UQuarnVirtualProductionSettings* Settings = GetMutableDefault<UQuarnVirtualProductionSettings>();
	if (!Settings)
	{
		UE_LOG(LogQuarnLive, Error, TEXT("Quarn settings could not be retrieved"));
		return;
	}
	CameraSubjectName = FString();

	EvaluateSubjects(LiveLinkClient, Candidates, Controllers, *Settings, Snapshots, Findings);
	Findings.bZentrelsMissing = AreZentrelsMissing(*Settings);
	Findings.NumQuarnSubjects = SubjectNames.Num();
	TrackingStatus = TrackingVerdict(Findings);
}

bool UQuarnStatusSubsystem::GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const
{
	if (StaticGameCheck() == 1)
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
		if (UQuarnLiveLinkComponentController* Controller = Cast<UQuarnLiveLinkComponentController>(Camera->GetComponentByClass(UQuarnLiveLinkComponentController::StaticClass())))
		{
			Result.Add(Controller);
		}
	}
	return Result;
}
