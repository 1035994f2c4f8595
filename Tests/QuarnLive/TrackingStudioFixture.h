#pragma once

// A booted editor (or game) with one tracking device, settings that check devices and report
// subject errors, and helpers that add Live Link sources, subjects and cameras through the
// headless Live Link client and the VP subsystems. Evaluate() runs one periodic evaluation.

#include "Engine/Engine.h"
#include "HeadlessLiveLinkClient.h"
#include "LiveLinkQuarnTypes.h"
#include "LiveLinkSourceSettings.h"
#include "LiveLinkSubjectSettings.h"
#include "QuarnCamera.h"
#include "QuarnEngineFixture.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveLinkSourceSettings.h"
#include "QuarnLiveLinkSubjectSettings.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVirtualProductionSettings.h"
#include "Roles/LiveLinkCameraRole.h"

#include <string>

class FTrackingStudioTest : public FQuarnEngineTest
{
protected:
	void SetUp() override
	{
		FQuarnEngineTest::SetUp();
		Subsystem = UQuarnStatusSubsystem::Get();
		ASSERT_NE(Subsystem, nullptr);
		Settings = GetMutableDefault<UQuarnVirtualProductionSettings>();
		ASSERT_NE(Settings, nullptr);
		Settings->bCheckZentrelCount = true;
		Settings->bReportSubjectTrackingErrors = true;
		ASSERT_NE(UQuarnZentrelSubsystem::Get(), nullptr);
		UQuarnZentrelSubsystem::Get()->SetZentrelNum(1);
	}

	void TearDown() override
	{
		UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(false);
		GIsSavingPackage = false;
		GIsGarbageCollecting = false;
		FQuarnEngineTest::TearDown();
	}

	static FHeadlessLiveLinkClient& Client() { return FHeadlessLiveLinkClient::Get(); }

	static FGuid AddQuarnSource(bool bPendingKill = false) { return Client().AddSource(NewObject<UQuarnLiveLinkSourceSettings>(), bPendingKill); }

	static FString StatusText(EQuarnTrackingStatus Status)
	{
		return StaticEnum<EQuarnTrackingStatus>()->GetDisplayNameTextByValue(static_cast<int64>(Status)).ToString();
	}

	/** A Quarn subject whose settings show the frame's state, as the tracking module fills them. */
	static UQuarnLiveLinkSubjectSettings* AddQuarnSubject(
		const FGuid& Source, FName Name, EQuarnTrackingStatus Status = EQuarnTrackingStatus::OpticalGood, float LensDataLevel = 1.f)
	{
		UQuarnLiveLinkSubjectSettings* SubjectSettings = NewObject<UQuarnLiveLinkSubjectSettings>();
		SubjectSettings->TrackingStatusText = StatusText(Status);
		Client().AddSubject(FLiveLinkSubjectKey(Source, Name), SubjectSettings, ULiveLinkCameraRole::StaticClass());
		SetFrame(Name, Status, LensDataLevel);
		return SubjectSettings;
	}

	static FLiveLinkQuarnFrameData SetFrame(FName Name, EQuarnTrackingStatus Status, float LensDataLevel = 1.f)
	{
		FLiveLinkQuarnFrameData Frame;
		Frame.FrameStatus = Status;
		Frame.LensDataLevel = LensDataLevel;
		Client().SetSubjectFrame(Name, FLiveLinkQuarnFrameData::StaticStruct(), &Frame);
		return Frame;
	}

	/** A camera known to the VP subsystem this run asks; with a controller unless ControlledSubject is None. */
	AQuarnCamera* AddCamera(FName ActorName, FName ControlledSubject)
	{
		AQuarnCamera* Camera = NewObject<AQuarnCamera>(nullptr, nullptr, ActorName);
		if (!ControlledSubject.IsNone())
		{
			Camera->AddComponent<UQuarnLiveLinkComponentController>()->ControlledSubject = ControlledSubject;
		}
		if (bEditor)
		{
			GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>()->AddCamera(Camera);
		}
		else
		{
			GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>()->AddCamera(Camera);
		}
		return Camera;
	}

	static UQuarnLiveLinkComponentController* ControllerOf(const AQuarnCamera* Camera)
	{
		return Camera->FindComponentByClass<UQuarnLiveLinkComponentController>();
	}

	/** One periodic evaluation of all four legs. */
	void Evaluate() { Subsystem->Tick(3.f); }

	/** "Colour: message", readable in failures. */
	static std::string Describe(const FQuarnStatus& Status)
	{
		const char* ColorName = Status.Color == FLinearColor::Green ? "Green"
			: Status.Color == FLinearColor::Yellow                  ? "Yellow"
			: Status.Color == FLinearColor::Red                     ? "Red"
																	: "other";
		return std::string(ColorName) + ": " + Status.Message.ToStdString();
	}

	std::string Tracking() const { return Describe(Subsystem->TrackingStatus); }
	std::string Lens() const { return Describe(Subsystem->LensStatus); }

	UQuarnStatusSubsystem* Subsystem = nullptr;
	UQuarnVirtualProductionSettings* Settings = nullptr;
};
