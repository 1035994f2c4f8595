#include "Editor.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "StudioFixture.h"

namespace
{
	class PlayInEditorTest : public FQuarnStudioTest
	{
	protected:
		void SetUp() override
		{
			FQuarnStudioTest::SetUp();
			// The first tick subscribes to the host modules' notifications.
			Subsystem->Tick(0.f);
			VPEditor = UQuarnVPEditorSubsystem::Get();
			MediaEditor = UQuarnMediaEditorSubsystem::Get();
			ASSERT_NE(VPEditor, nullptr);
			ASSERT_NE(MediaEditor, nullptr);
		}

		static void BeginPlay() { FEditorDelegates::BeginPIE.Broadcast(false); }
		static void EndPlay() { FEditorDelegates::EndPIE.Broadcast(false); }

		AQuarnCamera* MakeCamera(bool bWithTracking, bool bWithLens)
		{
			AQuarnCamera* Camera = World->SpawnActor<AQuarnCamera>();
			if (bWithTracking)
			{
				Camera->AddComponent<UQuarnLiveLinkComponentController>();
			}
			if (bWithLens)
			{
				Camera->AddComponent<UQuarnLensDistortionComponent>();
			}
			return Camera;
		}

		static UQuarnLiveLinkComponentController* Tracking(AActor* Actor) { return Actor->FindComponentByClass<UQuarnLiveLinkComponentController>(); }
		static UQuarnLensDistortionComponent* Lens(AActor* Actor) { return Actor->FindComponentByClass<UQuarnLensDistortionComponent>(); }

		bool Follows(AActor* Camera) const
		{
			return Tracking(Camera)->OnTrackingStatusChangedInPIE.IsBoundToObject(Subsystem)
				&& (!Lens(Camera) || Lens(Camera)->OnLensStatusChangedInPIE.IsBoundToObject(Subsystem));
		}

		void MarkAll(const FQuarnStatus& Mark)
		{
			Subsystem->TrackingStatus = Mark;
			Subsystem->LensStatus = Mark;
			Subsystem->VideoStatus = Mark;
			Subsystem->SyncStatus = Mark;
		}

		UQuarnVPEditorSubsystem* VPEditor = nullptr;
		UQuarnMediaEditorSubsystem* MediaEditor = nullptr;
	};

	using PlayInEditorOverrides = PlayInEditorTest;
	using PlayInEditorMediaNotifications = PlayInEditorTest;
	using PlayInEditorCameraSubscription = PlayInEditorTest;
} // namespace

TEST_F(PlayInEditorOverrides, OverridesOutsidePlayChangeNothing)
{
	const FQuarnStatus Before = Subsystem->LensStatus;
	Subsystem->OverrideTrackingStatus(Status(FLinearColor::Green, TEXT("ignored")));
	Subsystem->OverrideLensStatus(Status(FLinearColor::Green, TEXT("ignored")));
	Subsystem->OverrideVideoStatus(Status(FLinearColor::Green, TEXT("ignored")));
	Subsystem->OverrideSyncStatus(Status(FLinearColor::Green, TEXT("ignored")));
	EXPECT_EQ(Subsystem->TrackingStatus, FQuarnStatus());
	EXPECT_EQ(Subsystem->LensStatus, Before);
	EXPECT_EQ(Subsystem->VideoStatus, FQuarnStatus());
	EXPECT_EQ(Subsystem->SyncStatus, FQuarnStatus());
}

TEST_F(PlayInEditorOverrides, EachOverrideDuringPlayReplacesColourAndMessageOfItsOwnStatus)
{
	BeginPlay();
	const FQuarnStatus Custom = Status(FLinearColor(1.f, 0.5f, 0.f, 1.f), TEXT("Custom"));
	Subsystem->OverrideTrackingStatus(Status(FLinearColor::Green, TEXT("T")));
	Subsystem->OverrideLensStatus(Status(FLinearColor::Yellow, TEXT("L")));
	Subsystem->OverrideVideoStatus(Custom);
	Subsystem->OverrideSyncStatus(Status(FLinearColor::Red, TEXT("S")));
	EXPECT_EQ(Subsystem->TrackingStatus, Status(FLinearColor::Green, TEXT("T")));
	EXPECT_EQ(Subsystem->LensStatus, Status(FLinearColor::Yellow, TEXT("L")));
	EXPECT_EQ(Subsystem->VideoStatus, Custom);
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, TEXT("S")));
}

TEST_F(PlayInEditorOverrides, AnOverrideOutlivesPlayUntilTheNextEvaluation)
{
	Subsystem->Tick(1.5f);
	BeginPlay();
	Subsystem->OverrideVideoStatus(Status(FLinearColor::Yellow, TEXT("From a Blueprint")));
	Subsystem->Tick(10.f);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Yellow, TEXT("From a Blueprint"))) << "no evaluation during play";
	EndPlay();
	EXPECT_FALSE(Subsystem->bInPIE);
	Subsystem->Tick(0.4f);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Yellow, TEXT("From a Blueprint")));
	Subsystem->Tick(0.2f);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT(""))) << "1.5 s before play plus 0.6 s after";
}

TEST_F(PlayInEditorOverrides, BeginPlayKeepsTheEvaluatedStatuses)
{
	Evaluate();
	const FQuarnStatus Video = Subsystem->VideoStatus;
	const FQuarnStatus Sync = Subsystem->SyncStatus;
	BeginPlay();
	BeginPlay();
	EXPECT_TRUE(Subsystem->bInPIE);
	EXPECT_EQ(Subsystem->VideoStatus, Video);
	EXPECT_EQ(Subsystem->SyncStatus, Sync);
}

TEST_F(PlayInEditorMediaNotifications, PlayingAndCapturingOfAnySignalSetTheVideoStatus)
{
	BeginPlay();
	MediaEditor->RaiseBundlePlayingChanged(EQuarnMediaIOSignal::Input, false);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, TEXT("")));
	MediaEditor->RaiseBundleCapturingChanged(EQuarnMediaIOSignal::KeyOutput, true);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));
	MediaEditor->RaiseBundleCapturingChanged(EQuarnMediaIOSignal::Output, false);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, TEXT("")));
	MediaEditor->RaiseBundlePlayingChanged(EQuarnMediaIOSignal::KeyInput, true);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));
}

TEST_F(PlayInEditorMediaNotifications, OnlySynchronisationStateTwoIsGreen)
{
	BeginPlay();
	for (uint8 State = 0; State <= 3; ++State)
	{
		const FQuarnStatus Expected = Status(State == 2 ? FLinearColor::Green : FLinearColor::Red, TEXT(""));
		Subsystem->SyncStatus = Status(FLinearColor::Yellow, TEXT("marker"));
		MediaEditor->RaiseTimeStepStateChanged(static_cast<EQuarnMediaTimeStepSynchronizationState>(State));
		EXPECT_EQ(Subsystem->SyncStatus, Expected) << "time step state " << int(State);
		Subsystem->SyncStatus = Status(FLinearColor::Yellow, TEXT("marker"));
		MediaEditor->RaiseProviderStateChanged(static_cast<EQuarnMediaProviderSynchronizationState>(State));
		EXPECT_EQ(Subsystem->SyncStatus, Expected) << "provider state " << int(State);
	}
}

TEST_F(PlayInEditorMediaNotifications, NotificationsOutsidePlayAreIgnored)
{
	MarkAll(Status(FLinearColor::Yellow, TEXT("marker")));
	MediaEditor->RaiseBundlePlayingChanged(EQuarnMediaIOSignal::Input, true);
	MediaEditor->RaiseTimeStepStateChanged(EQuarnMediaTimeStepSynchronizationState::Synchronized);
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Yellow, TEXT("marker")));
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Yellow, TEXT("marker")));
}

TEST_F(PlayInEditorCameraSubscription, TheActiveCameraComponentsFeedTrackingAndLens)
{
	BeginPlay();
	AQuarnCamera* Camera = MakeCamera(true, true);
	VPEditor->SetActiveCamera(Camera);
	ASSERT_TRUE(Follows(Camera));
	Subsystem->TrackingStatus = Status(FLinearColor::Yellow, TEXT("marker"));
	Tracking(Camera)->RaiseTrackingStatusChangedInPIE(false);
	EXPECT_EQ(Subsystem->TrackingStatus, Status(FLinearColor::Red, TEXT("")));
	Lens(Camera)->RaiseLensStatusChangedInPIE(true);
	EXPECT_EQ(Subsystem->LensStatus, Status(FLinearColor::Green, TEXT("")));
}

TEST_F(PlayInEditorCameraSubscription, ALaterCameraChangeNeitherSubscribesNorUnsubscribes)
{
	BeginPlay();
	AQuarnCamera* First = MakeCamera(true, true);
	AQuarnCamera* Second = MakeCamera(true, true);
	VPEditor->SetActiveCamera(First);
	VPEditor->SetActiveCamera(Second);
	EXPECT_TRUE(Follows(First));
	EXPECT_FALSE(Tracking(Second)->OnTrackingStatusChangedInPIE.IsBoundToObject(Subsystem));
	EXPECT_FALSE(Lens(Second)->OnLensStatusChangedInPIE.IsBoundToObject(Subsystem));
}

TEST_F(PlayInEditorCameraSubscription, CamerasThatCannotFeedTheStatusesAreIgnored)
{
	AQuarnCamera* BeforePlay = MakeCamera(true, true);
	VPEditor->SetActiveCamera(BeforePlay);
	EXPECT_EQ(Tracking(BeforePlay)->OnTrackingStatusChangedInPIE.NumBindings(), 0) << "outside play";

	BeginPlay();
	AActor* NotACamera = World->SpawnActor<AActor>();
	NotACamera->AddComponent<UQuarnLiveLinkComponentController>();
	VPEditor->SetActiveCamera(NotACamera);
	EXPECT_EQ(Tracking(NotACamera)->OnTrackingStatusChangedInPIE.NumBindings(), 0) << "not an AQuarnCamera";

	AQuarnCamera* LensOnly = MakeCamera(false, true);
	VPEditor->SetActiveCamera(LensOnly);
	EXPECT_EQ(Lens(LensOnly)->OnLensStatusChangedInPIE.NumBindings(), 0) << "no tracking component";

	AQuarnCamera* Gone = MakeCamera(true, true);
	UQuarnLiveLinkComponentController* GoneTracking = Tracking(Gone);
	World->DestroyActor(Gone);
	VPEditor->SetActiveCamera(Gone);
	EXPECT_EQ(GoneTracking->OnTrackingStatusChangedInPIE.NumBindings(), 0) << "destroyed";

	AQuarnCamera* Camera = MakeCamera(true, true);
	VPEditor->SetActiveCamera(Camera);
	EXPECT_TRUE(Follows(Camera)) << "none of them took the one subscription of this play";
}

TEST_F(PlayInEditorCameraSubscription, ATrackingOnlyCameraLeavesRoomForAnotherCamera)
{
	BeginPlay();
	AQuarnCamera* TrackingOnly = MakeCamera(true, false);
	AQuarnCamera* Full = MakeCamera(true, true);
	VPEditor->SetActiveCamera(TrackingOnly);
	EXPECT_TRUE(Follows(TrackingOnly));
	VPEditor->SetActiveCamera(Full);
	EXPECT_TRUE(Follows(Full));
	EXPECT_TRUE(Follows(TrackingOnly)) << "the first camera's subscription stays for the rest of play";
}

TEST_F(PlayInEditorCameraSubscription, EndOfPlayUndoesEverySubscription)
{
	BeginPlay();
	AQuarnCamera* TrackingOnly = MakeCamera(true, false);
	AQuarnCamera* Full = MakeCamera(true, true);
	VPEditor->SetActiveCamera(TrackingOnly);
	VPEditor->SetActiveCamera(Full);
	EndPlay();
	EXPECT_EQ(Tracking(TrackingOnly)->OnTrackingStatusChangedInPIE.NumBindings(), 0);
	EXPECT_EQ(Tracking(Full)->OnTrackingStatusChangedInPIE.NumBindings(), 0);
	EXPECT_EQ(Lens(Full)->OnLensStatusChangedInPIE.NumBindings(), 0);
	EXPECT_FALSE(Subsystem->bInPIE);
	Tracking(TrackingOnly)->RaiseTrackingStatusChangedInPIE(true);
	EXPECT_EQ(Subsystem->TrackingStatus, FQuarnStatus());

	// The next play subscribes afresh.
	BeginPlay();
	VPEditor->SetActiveCamera(Full);
	EXPECT_TRUE(Follows(Full));
}

TEST_F(PlayInEditorCameraSubscription, EndOfPlayNeverTouchesDestroyedComponents)
{
	BeginPlay();
	AQuarnCamera* TrackingOnly = MakeCamera(true, false);
	AQuarnCamera* Full = MakeCamera(true, true);
	VPEditor->SetActiveCamera(TrackingOnly);
	VPEditor->SetActiveCamera(Full);
	World->DestroyActor(TrackingOnly);
	World->DestroyActor(Full);
	CollectGarbage();
	// Freed memory would be read here; the address sanitizer builds turn that into a failure.
	EndPlay();
	EXPECT_FALSE(Subsystem->bInPIE);

	BeginPlay();
	AQuarnCamera* Next = MakeCamera(true, true);
	VPEditor->SetActiveCamera(Next);
	EXPECT_TRUE(Follows(Next)) << "the subscribed flag was cleared too";
}

TEST_F(PlayInEditorCameraSubscription, EndOfPlayUnsubscribesComponentsMarkedForDestruction)
{
	BeginPlay();
	AQuarnCamera* Full = MakeCamera(true, true);
	VPEditor->SetActiveCamera(Full);
	UQuarnLiveLinkComponentController* Controller = Tracking(Full);
	Full->RemoveComponent(Controller);
	EndPlay();
	EXPECT_EQ(Controller->OnTrackingStatusChangedInPIE.NumBindings(), 0) << "still in memory until the next collection";
}

TEST_F(PlayInEditorCameraSubscription, EndOfPlayWithoutSubscriptionsOnlyClearsThePlayFlag)
{
	BeginPlay();
	Subsystem->OverrideLensStatus(Status(FLinearColor::Yellow, TEXT("kept")));
	EndPlay();
	EXPECT_FALSE(Subsystem->bInPIE);
	EXPECT_EQ(Subsystem->LensStatus, Status(FLinearColor::Yellow, TEXT("kept")));
	EndPlay();
	EXPECT_FALSE(Subsystem->bInPIE);
}
