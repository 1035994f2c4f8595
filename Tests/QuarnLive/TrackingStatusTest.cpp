#include "LogCapture.h"
#include "TrackingStudioFixture.h"

namespace
{
	const std::string NoZentrels = "Red: No Zentrels found: Use the Zentrels panel to Auto-Configure the Zentrel";
	const std::string NoSource = "Red: No LiveLink Source: Add a Quarn source in the LiveLink window";
	const std::string NoSubject = "Red: No LiveLink Subject: To add a Quarn subject select the Quarn source in the LiveLink window, add a subject name and select Add New Subject";
	const std::string NothingReceiving = "Yellow: LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's LiveLink component select the appropriate LiveLink subject.";
	const std::string RedWithoutMessage = "Red: ";
	const std::string GreenStatus = "Green: ";

	std::string NoTrackingData(const std::string& Subject)
	{
		return "Red: No tracking data: Use the Zentrels panel to Auto-Configure the Zentrel for subject " + Subject;
	}

	std::string SubjectError(const std::string& Subject, const std::string& Text)
	{
		return "Red: Subject named " + Subject + " has tracking status " + Text
			+ ": Use the Zentrels panel to VNC into the Zentrel and look for errors or warnings on the display";
	}

	std::string Warning(const std::string& Actor, const std::string& Text)
	{
		return "Yellow: At least one tracked actor has < Optical Good: " + Actor + " has status " + Text;
	}

	class TrackingVerdict : public FTrackingStudioTest
	{
	protected:
		/** A subject of its own Quarn source, received by the camera StageCamera. */
		UQuarnLiveLinkSubjectSettings* AddReceivedSubject(FName Name = FName(TEXT("Cam")), EQuarnTrackingStatus Status = EQuarnTrackingStatus::OpticalGood)
		{
			UQuarnLiveLinkSubjectSettings* Subject = AddQuarnSubject(AddQuarnSource(), Name, Status);
			AddCamera(TEXT("StageCamera"), Name);
			return Subject;
		}

		const TArray<FName>& SubjectNames() const
		{
			const FProperty* Property = UQuarnStatusSubsystem::StaticClass()->FindPropertyByName(TEXT("SubjectNames"));
			return *Property->ContainerPtrToValuePtr<TArray<FName>>(Subsystem);
		}
	};

	class TrackingVerdictInGame : public TrackingVerdict
	{
	protected:
		void BeforeBoot() override { bEditor = false; }
	};

	using TrackingSnapshots = TrackingVerdict;
	using TrackingSnapshotsInGame = TrackingVerdictInGame;
} // namespace

TEST_F(TrackingVerdict, NoZentrelsOutranksNoSource)
{
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(0);
	Evaluate();
	EXPECT_EQ(Tracking(), NoZentrels);
}

TEST_F(TrackingVerdict, NoZentrelsOutranksEverySubjectVerdict)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"), EQuarnTrackingStatus::CameraError);
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(0);
	Evaluate();
	EXPECT_EQ(Tracking(), NoZentrels);
}

TEST_F(TrackingVerdict, ZentrelCountIsNotCheckedWhenSwitchedOffOrWithoutItsSubsystem)
{
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(0);
	Settings->bCheckZentrelCount = false;
	Evaluate();
	EXPECT_EQ(Tracking(), NoSource);

	Settings->bCheckZentrelCount = true;
	UQuarnZentrelSubsystem::SetAvailable(false);
	Evaluate();
	EXPECT_EQ(Tracking(), NoSource);
}

TEST_F(TrackingVerdictInGame, GameRunSkipsTheZentrelCheck)
{
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(0);
	Evaluate();
	EXPECT_EQ(Tracking(), NoSource);
}

TEST_F(TrackingVerdict, OnlySourcesWithQuarnSettingsCount)
{
	Client().AddSource(nullptr);
	const FGuid Other = Client().AddSource(NewObject<ULiveLinkSourceSettings>());
	AddQuarnSource(true);
	AddQuarnSubject(Other, TEXT("Cam"));
	Evaluate();
	EXPECT_EQ(Tracking(), NoSource);
	EXPECT_TRUE(Subsystem->GetSnapshots().IsEmpty());
}

TEST_F(TrackingVerdict, QuarnSourceWithoutQuarnSubjectsReportsNoSubject)
{
	const FGuid Source = AddQuarnSource();
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("NoSettings")), nullptr, ULiveLinkCameraRole::StaticClass());
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("OtherSettings")), NewObject<ULiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass());
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Disabled")), NewObject<UQuarnLiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass(), false);
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Virtual")), NewObject<UQuarnLiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass(), true, true);
	Evaluate();
	EXPECT_EQ(Tracking(), NoSubject);
	EXPECT_TRUE(SubjectNames().IsEmpty());
}

TEST_F(TrackingVerdict, WithoutALiveLinkClientThereIsNoSource)
{
	FHeadlessLiveLinkClient::Unregister();
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	Evaluate();
	EXPECT_EQ(Tracking(), NoSource);
}

TEST_F(TrackingVerdict, NoTrackingDataNamesTheFirstSubjectAndEndsThePass)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("First"), EQuarnTrackingStatus::NoData);
	AddQuarnSubject(Source, TEXT("Second"), EQuarnTrackingStatus::CameraError);
	AddCamera(TEXT("StageCamera"), TEXT("Second"));
	Evaluate();
	EXPECT_EQ(Tracking(), NoTrackingData("First"));
	EXPECT_EQ(Client().GetEvaluateCount(), 0) << "no frame is evaluated once a subject has no tracking data";
	EXPECT_TRUE(Subsystem->GetSnapshots().IsEmpty());
	EXPECT_EQ(SubjectNames(), TArray<FName>({TEXT("First"), TEXT("Second")}));
}

TEST_F(TrackingVerdict, NoTrackingDataMarkerIgnoresLetterCaseAndFollowsTheFrameCheck)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Healthy"));
	AddQuarnSubject(Source, TEXT("Silent"))->TrackingStatusText = TEXT("nO dAtA");
	AddCamera(TEXT("StageCamera"), TEXT("Healthy"));
	Evaluate();
	EXPECT_EQ(Tracking(), NoTrackingData("Silent"));
	EXPECT_EQ(Subsystem->GetSnapshots().Num(), 1) << "the subject before it was evaluated";
}

TEST_F(TrackingVerdict, WhileSavingOrCollectingGarbageTheMarkerIsInvalid)
{
	UQuarnLiveLinkSubjectSettings* Subject = AddReceivedSubject();

	Subject->TrackingStatusText = TEXT("No Data");
	GIsSavingPackage = true;
	Evaluate();
	EXPECT_EQ(Tracking(), GreenStatus) << "\"No Data\" is no marker while a package is saved";

	Subject->TrackingStatusText = TEXT("invalid");
	Evaluate();
	EXPECT_EQ(Tracking(), NoTrackingData("Cam"));

	GIsSavingPackage = false;
	GIsGarbageCollecting = true;
	Evaluate();
	EXPECT_EQ(Tracking(), NoTrackingData("Cam"));

	GIsGarbageCollecting = false;
	Evaluate();
	EXPECT_EQ(Tracking(), GreenStatus);
}

TEST_F(TrackingVerdict, ReportedSubjectErrorEndsThePass)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Broken"), EQuarnTrackingStatus::CameraError);
	AddQuarnSubject(Source, TEXT("Later"));
	AddCamera(TEXT("StageCamera"), TEXT("Broken"));
	Evaluate();
	EXPECT_EQ(Tracking(), SubjectError("Broken", "Camera Error"));
	EXPECT_EQ(Client().GetEvaluateCount(), 1);
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].Controller, nullptr) << "the pass ends before matching the controller";
}

TEST_F(TrackingVerdict, EveryErrorStateIsReportedWithTheSubjectsOwnText)
{
	UQuarnLiveLinkSubjectSettings* Subject = AddReceivedSubject();
	Subject->TrackingStatusText = TEXT("Lost (3 markers)");
	for (const int32 Value : {0, 5, 6, 7, 8, 9, 10, 11, 14, 17})
	{
		SetFrame(TEXT("Cam"), static_cast<EQuarnTrackingStatus>(Value));
		Evaluate();
		EXPECT_EQ(Tracking(), SubjectError("Cam", "Lost (3 markers)")) << "state " << Value;
	}
}

TEST_F(TrackingVerdict, UnreportedSubjectErrorLeavesRedWithoutMessage)
{
	Settings->bReportSubjectTrackingErrors = false;
	AddReceivedSubject(TEXT("Broken"), EQuarnTrackingStatus::CameraError);
	Evaluate();
	EXPECT_EQ(Tracking(), RedWithoutMessage);
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_NE(Subsystem->GetSnapshots()[0].Controller, nullptr) << "an unreported error does not end the pass";
}

TEST_F(TrackingVerdict, OnlyTheLastCountedSubjectDecidesAnUnreportedError)
{
	Settings->bReportSubjectTrackingErrors = false;
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("First"), EQuarnTrackingStatus::CameraError);
	AddQuarnSubject(Source, TEXT("Second"));
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("NoFrame")), NewObject<UQuarnLiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass());
	AddCamera(TEXT("StageCamera"), TEXT("First"));
	Evaluate();
	EXPECT_EQ(Tracking(), GreenStatus) << "a healthy later subject clears the error; a frameless one does not count";

	SetFrame(TEXT("First"), EQuarnTrackingStatus::OpticalGood);
	SetFrame(TEXT("Second"), EQuarnTrackingStatus::Lost);
	Evaluate();
	EXPECT_EQ(Tracking(), RedWithoutMessage);
}

TEST_F(TrackingVerdict, UnreportedErrorKeepsAnEarlierWarning)
{
	Settings->bReportSubjectTrackingErrors = false;
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Fair"), EQuarnTrackingStatus::OpticalFair);
	AddQuarnSubject(Source, TEXT("Broken"), EQuarnTrackingStatus::CameraError);
	AddCamera(TEXT("StageCamera"), TEXT("Fair"));
	Evaluate();
	EXPECT_EQ(Tracking(), Warning("StageCamera", "Optical Fair"));
}

TEST_F(TrackingVerdict, FramesThatDoNotCountAreLoggedAndLeaveNothingReceiving)
{
	const FGuid Source = AddQuarnSource();
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("NoFrame")), NewObject<UQuarnLiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass());
	UQuarnLiveLinkSubjectSettings* Foreign = NewObject<UQuarnLiveLinkSubjectSettings>();
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Foreign")), Foreign, ULiveLinkCameraRole::StaticClass());
	const FLiveLinkTransformFrameData TransformFrame;
	Client().SetSubjectFrame(FName(TEXT("Foreign")), FLiveLinkTransformFrameData::StaticStruct(), &TransformFrame);
	AddCamera(TEXT("StageCamera"), TEXT("Foreign"));

	FLogCapture Log;
	Evaluate();
	EXPECT_EQ(Tracking(), NothingReceiving);
	EXPECT_TRUE(Subsystem->GetSnapshots().IsEmpty());
	EXPECT_EQ(Log.Count(TEXT("LogQuarnLive"), TEXT("FrameData was nullptr for Subject NoFrame")), 1);
	EXPECT_EQ(Log.Count(TEXT("LogQuarnLive"), TEXT("FrameData was nullptr for Subject Foreign")), 1);
}

TEST_F(TrackingVerdict, NothingReceivingWhenNoControllerNamesTheSubject)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"), EQuarnTrackingStatus::OpticalFair);
	AddCamera(TEXT("StageCamera"), TEXT("OtherSubject"));
	AddCamera(TEXT("Crane"), NAME_None);
	Evaluate();
	EXPECT_EQ(Tracking(), NothingReceiving) << "a warning counts only on a receiving camera";
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].Controller, nullptr);
}

TEST_F(TrackingVerdict, WarningStatesNameTheReceivingCameraActor)
{
	UQuarnLiveLinkSubjectSettings* Subject = AddReceivedSubject();
	for (const EQuarnTrackingStatus Status : {EQuarnTrackingStatus::OpticalFair, EQuarnTrackingStatus::OpticalPoor, EQuarnTrackingStatus::InertialOnly})
	{
		SetFrame(TEXT("Cam"), Status);
		Subject->TrackingStatusText = StatusText(Status);
		Evaluate();
		EXPECT_EQ(Tracking(), Warning("StageCamera", StatusText(Status).ToStdString()));
	}
}

TEST_F(TrackingVerdict, LaterWarningOverwritesAnEarlierOne)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("A"), EQuarnTrackingStatus::OpticalFair);
	AddQuarnSubject(Source, TEXT("B"));
	AddQuarnSubject(Source, TEXT("C"), EQuarnTrackingStatus::InertialOnly);
	AddCamera(TEXT("CameraA"), TEXT("A"));
	AddCamera(TEXT("CameraB"), TEXT("B"));
	AddCamera(TEXT("CameraC"), TEXT("C"));
	Evaluate();
	EXPECT_EQ(Tracking(), Warning("CameraC", "Inertial Only"));
}

TEST_F(TrackingVerdict, HealthyReceivedSubjectsAreGreen)
{
	AddReceivedSubject();
	for (const int32 Value : {1, 2, 13, 16, 18})
	{
		SetFrame(TEXT("Cam"), static_cast<EQuarnTrackingStatus>(Value));
		Evaluate();
		EXPECT_EQ(Tracking(), GreenStatus) << "state " << Value;
	}
}

TEST_F(TrackingVerdict, MissingSettingsLeaveRedWithoutMessageButListTheSubjects)
{
	AddReceivedSubject();
	Evaluate();
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);

	UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(true);
	FLogCapture Log;
	Evaluate();
	EXPECT_EQ(Tracking(), RedWithoutMessage);
	// One line from the tracking leg; the video leg's mode lookup logs twice more.
	EXPECT_EQ(Log.Count(TEXT("LogQuarnLive"), TEXT("Quarn settings could not be retrieved")), 3);
	EXPECT_TRUE(Subsystem->GetSnapshots().IsEmpty());
	EXPECT_EQ(SubjectNames(), TArray<FName>({TEXT("Cam")}));
}

TEST_F(TrackingSnapshots, SubjectSettingsAreLookedUpWithTheSourcesOwnId)
{
	// Every Quarn source lists every subject; each is looked up under that source's id.
	const FGuid First = AddQuarnSource();
	const FGuid Second = AddQuarnSource();
	AddQuarnSubject(First, TEXT("Cam"));
	AddQuarnSubject(Second, TEXT("Cam"));
	AddQuarnSubject(First, TEXT("OnlyFirst"));
	Evaluate();

	const TArray<FLiveLinkSubjectKey> Expected = {FLiveLinkSubjectKey(First, TEXT("Cam")), FLiveLinkSubjectKey(Second, TEXT("Cam")),
		FLiveLinkSubjectKey(First, TEXT("OnlyFirst")), FLiveLinkSubjectKey(First, TEXT("Cam")), FLiveLinkSubjectKey(Second, TEXT("Cam"))};
	TArray<FLiveLinkSubjectKey> Keys;
	for (const UQuarnStatusSubsystem::SnapshotInfo& Snapshot : Subsystem->GetSnapshots())
	{
		Keys.Add(Snapshot.SubjectKey);
	}
	EXPECT_EQ(Keys, Expected);
	EXPECT_EQ(SubjectNames().Num(), 5);
}

TEST_F(TrackingSnapshots, SnapshotHoldsACopyOfTheEvaluatedFrame)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	FLiveLinkQuarnFrameData Frame;
	Frame.FrameStatus = EQuarnTrackingStatus::OpticalExcellent;
	Frame.LensDataLevel = 0.5f;
	Frame.RawFocus = 1234;
	Frame.RawZoom = 567;
	Frame.LensParameters.K1 = 0.25f;
	Client().SetSubjectFrame(FName(TEXT("Cam")), FLiveLinkQuarnFrameData::StaticStruct(), &Frame);
	Evaluate();

	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	const FLiveLinkQuarnFrameData& Copy = Subsystem->GetSnapshots()[0].FrameData;
	EXPECT_EQ(Copy.FrameStatus, EQuarnTrackingStatus::OpticalExcellent);
	EXPECT_FLOAT_EQ(Copy.LensDataLevel, 0.5f);
	EXPECT_EQ(Copy.RawFocus, 1234);
	EXPECT_EQ(Copy.RawZoom, 567);
	EXPECT_FLOAT_EQ(Copy.LensParameters.K1, 0.25f);

	SetFrame(TEXT("Cam"), EQuarnTrackingStatus::OpticalGood);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].FrameData.RawFocus, 1234) << "a later frame does not reach the snapshot until the next evaluation";
}

TEST_F(TrackingSnapshots, LastSnapShotIsTheSubjectAppendedLast)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Received"));
	AddQuarnSubject(Source, TEXT("Spare"), EQuarnTrackingStatus::Simulated);
	AddCamera(TEXT("StageCamera"), TEXT("Received"));
	Evaluate();
	EXPECT_EQ(Subsystem->GetLastSnapShot().FrameStatus, EQuarnTrackingStatus::Simulated);
}

TEST_F(TrackingSnapshots, ControllerMatchIgnoresLetterCaseAndTakesTheFirstCamera)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	AddCamera(TEXT("NoController"), NAME_None);
	AQuarnCamera* First = AddCamera(TEXT("First"), TEXT("CAM"));
	AddCamera(TEXT("Second"), TEXT("cam"));
	Evaluate();
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].Controller, ControllerOf(First));
	EXPECT_EQ(Tracking(), GreenStatus);
}

TEST_F(TrackingSnapshots, DestroyedCameraNoLongerReceives)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	AQuarnCamera* Gone = AddCamera(TEXT("Gone"), TEXT("Cam"));
	AQuarnCamera* Kept = AddCamera(TEXT("Kept"), TEXT("Cam"));
	Gone->Destroy();
	Evaluate();
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].Controller, ControllerOf(Kept));

	Kept->Destroy();
	Evaluate();
	EXPECT_EQ(Tracking(), NothingReceiving);
}

TEST_F(TrackingSnapshots, WithoutTheVPEditorSubsystemNothingReceives)
{
	AddReceivedSubject();
	UQuarnVPEditorSubsystem::SetAvailable(false);
	Evaluate();
	EXPECT_EQ(Tracking(), NothingReceiving);
}

TEST_F(TrackingSnapshotsInGame, GameRunTakesItsCamerasFromTheVPEngineSubsystem)
{
	const FGuid Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"), EQuarnTrackingStatus::OpticalPoor);
	AQuarnCamera* Camera = AddCamera(TEXT("GameCamera"), TEXT("Cam"));
	Evaluate();
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Subsystem->GetSnapshots()[0].Controller, ControllerOf(Camera));
	EXPECT_EQ(Tracking(), Warning("GameCamera", "Optical Poor"));
}
