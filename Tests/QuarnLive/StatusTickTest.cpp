#include "Editor.h"
#include "LogCapture.h"
#include "QuarnEngineFixture.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVirtualProductionSettings.h"

/** Reaches the subsystem's private members that the behaviour under test lives in. */
struct FQuarnStatusSubsystemTestAccess
{
	static bool IsError(UQuarnStatusSubsystem& Subsystem, int32 Value) { return Subsystem.ErrorTrackingStatus(static_cast<EQuarnTrackingStatus>(Value)); }
	static bool IsWarning(UQuarnStatusSubsystem& Subsystem, int32 Value) { return Subsystem.WarningTrackingStatus(static_cast<EQuarnTrackingStatus>(Value)); }
	static bool HasAttachedDelegates(const UQuarnStatusSubsystem& Subsystem) { return Subsystem.bHasAttachedDelegates; }
};

namespace
{
	FQuarnStatus Green()
	{
		FQuarnStatus Status;
		Status.Color = FLinearColor::Green;
		return Status;
	}

	class StatusTick : public FQuarnEngineTest
	{
	protected:
		void SetUp() override
		{
			FQuarnEngineTest::SetUp();
			Subsystem = UQuarnStatusSubsystem::Get();
			ASSERT_NE(Subsystem, nullptr);
		}

		/** Marks the statuses Green; in this empty studio an evaluation always turns them Red. */
		void MarkStatuses()
		{
			Subsystem->TrackingStatus = Green();
			Subsystem->LensStatus = Green();
		}
		bool Evaluated() const
		{
			return Subsystem->TrackingStatus.Color == FLinearColor::Red && Subsystem->LensStatus.Color == FLinearColor::Red;
		}

		UQuarnStatusSubsystem* Subsystem = nullptr;
	};
} // namespace

TEST_F(StatusTick, OneSecondTicksEvaluateOnTheThirdTick)
{
	MarkStatuses();
	Subsystem->Tick(1.f);
	Subsystem->Tick(1.f);
	EXPECT_FALSE(Evaluated()) << "2.0 s is not more than the interval";
	EXPECT_FLOAT_EQ(Subsystem->TimeSinceLastUpdate, 2.f);
	Subsystem->Tick(1.f);
	EXPECT_TRUE(Evaluated());
	EXPECT_FLOAT_EQ(Subsystem->TimeSinceLastUpdate, 0.f);
}

TEST_F(StatusTick, ALongTickEvaluatesOnceAndDropsTheExcess)
{
	MarkStatuses();
	Subsystem->Tick(10.f);
	EXPECT_TRUE(Evaluated());
	EXPECT_FLOAT_EQ(Subsystem->TimeSinceLastUpdate, 0.f);
	MarkStatuses();
	Subsystem->Tick(0.5f);
	EXPECT_FALSE(Evaluated()) << "no catch-up evaluation";
}

TEST_F(StatusTick, PlayInEditorSuspendsEvaluationAndTheClock)
{
	Subsystem->Tick(1.5f);
	FEditorDelegates::BeginPIE.Broadcast(false);
	MarkStatuses();
	Subsystem->Tick(10.f);
	EXPECT_FALSE(Evaluated());
	EXPECT_FLOAT_EQ(Subsystem->TimeSinceLastUpdate, 1.5f);
	FEditorDelegates::EndPIE.Broadcast(false);
	Subsystem->Tick(0.6f);
	EXPECT_TRUE(Evaluated()) << "the accumulator resumes where play left it";
}

TEST_F(StatusTick, EngineTickDrivesTheSubsystemInTheEditor)
{
	MarkStatuses();
	for (int32 Frame = 0; Frame < 60; ++Frame)
	{
		FHeadlessEngineLoop::Tick(1.0 / 30.0);
	}
	EXPECT_FALSE(Evaluated());
	for (int32 Frame = 0; Frame < 2; ++Frame)
	{
		FHeadlessEngineLoop::Tick(1.0 / 30.0);
	}
	EXPECT_TRUE(Evaluated());
}

TEST_F(StatusTick, DefaultObjectNeverTicksAndTheInstanceAlwaysDoes)
{
	const UQuarnStatusSubsystem* Default = GetDefault<UQuarnStatusSubsystem>();
	ASSERT_NE(Default, nullptr);
	EXPECT_EQ(Default->GetTickableTickType(), ETickableTickType::Never);
	EXPECT_EQ(Subsystem->GetTickableTickType(), ETickableTickType::Always);
	EXPECT_TRUE(Subsystem->IsTickableInEditor());
	EXPECT_FALSE(Subsystem->IsTickableWhenPaused());
}

TEST_F(StatusTick, SubscriptionWaitsForTheVPEditorSubsystem)
{
	UQuarnVPEditorSubsystem::SetAvailable(false);
	MarkStatuses();
	Subsystem->Tick(3.f);
	EXPECT_TRUE(Evaluated()) << "evaluation does not need the editor subsystem";
	EXPECT_FALSE(FQuarnStatusSubsystemTestAccess::HasAttachedDelegates(*Subsystem));

	UQuarnVPEditorSubsystem::SetAvailable(true);
	Subsystem->Tick(0.f);
	EXPECT_TRUE(FQuarnStatusSubsystemTestAccess::HasAttachedDelegates(*Subsystem));
	EXPECT_TRUE(UQuarnVPEditorSubsystem::Get()->OnActiveCameraChangedDelegate.IsBoundToObject(Subsystem));
	EXPECT_TRUE(UQuarnMediaEditorSubsystem::Get()->OnBundlePlayingChangedDelegate.IsBoundToObject(Subsystem));
}

TEST_F(StatusTick, MediaSubscriptionsMissedAtFirstAttachAreNotRetried)
{
	UQuarnMediaEditorSubsystem::SetAvailable(false);
	Subsystem->Tick(0.f);
	UQuarnMediaEditorSubsystem::SetAvailable(true);
	Subsystem->Tick(0.f);
	UQuarnMediaEditorSubsystem* Media = UQuarnMediaEditorSubsystem::Get();
	EXPECT_FALSE(Media->OnBundlePlayingChangedDelegate.IsBoundToObject(Subsystem));
	EXPECT_FALSE(Media->OnBundleTimeStepSynchronizedStateChanged().IsBoundToObject(Subsystem));
	EXPECT_TRUE(UQuarnVPEditorSubsystem::Get()->OnActiveCameraChangedDelegate.IsBoundToObject(Subsystem));
}

TEST_F(StatusTick, ActiveCameraIsPolledOnEveryTickWhenAsked)
{
	UQuarnVPEditorSubsystem* VPEditor = UQuarnVPEditorSubsystem::Get();
	Subsystem->Tick(0.1f);
	EXPECT_EQ(VPEditor->GetQuarnCameraCallCount(), 0);
	VPEditor->bPollActiveCamera = true;
	Subsystem->Tick(0.1f);
	Subsystem->Tick(3.f);
	EXPECT_EQ(VPEditor->GetQuarnCameraCallCount(), 2);
}

TEST_F(StatusTick, DeinitializeRemovesEveryBinding)
{
	Subsystem->Tick(0.f);
	Subsystem->Deinitialize();
	EXPECT_FALSE(FEditorDelegates::BeginPIE.IsBoundToObject(Subsystem));
	EXPECT_FALSE(FEditorDelegates::EndPIE.IsBoundToObject(Subsystem));
	EXPECT_FALSE(UQuarnVPEditorSubsystem::Get()->OnActiveCameraChangedDelegate.IsBoundToObject(Subsystem));
	EXPECT_FALSE(UQuarnMediaEditorSubsystem::Get()->OnBundleProviderSynchronizedStateChanged().IsBoundToObject(Subsystem));
}

using StatusMode = StatusTick;

TEST_F(StatusMode, ModeTextIsTheDisplayNameAndInvalidWhileSaving)
{
	GetMutableDefault<UQuarnVirtualProductionSettings>()->CompositingMode = static_cast<EQuarnVirtualProductionMode>(2);
	const FString Expected = StaticEnum<EQuarnVirtualProductionMode>()->GetDisplayNameTextByValue(2).ToString();
	EXPECT_FALSE(Expected.IsEmpty());
	EXPECT_TRUE(Subsystem->GetModeAsString().Equals(Expected, ESearchCase::CaseSensitive));

	GetMutableDefault<UQuarnVirtualProductionSettings>()->CompositingMode = static_cast<EQuarnVirtualProductionMode>(0);
	GIsSavingPackage = true;
	EXPECT_TRUE(Subsystem->GetModeAsString().Equals(TEXT("Invalid"), ESearchCase::CaseSensitive));
	GIsSavingPackage = false;
	EXPECT_EQ(static_cast<int32>(Subsystem->CachedMode), 0) << "the cached mode is refreshed even while saving";
}

TEST_F(StatusMode, MissingSettingsLogAndFallBackToModeOne)
{
	FLogCapture Log;
	UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(true);
	EXPECT_EQ(static_cast<int32>(Subsystem->GetMode()), 1);
	const FString Text = Subsystem->GetModeAsString();
	UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(false);
	EXPECT_TRUE(Text.Equals(StaticEnum<EQuarnVirtualProductionMode>()->GetDisplayNameTextByValue(1).ToString(), ESearchCase::CaseSensitive));
	EXPECT_EQ(Log.Count(TEXT("LogQuarnLive"), TEXT("Quarn settings could not be retrieved")), 3) << "once for GetMode, twice for GetModeAsString";
}

TEST_F(StatusMode, TrackingStatesAreClassifiedByNumber)
{
	const TArray<int32> Errors = {0, 5, 6, 7, 8, 9, 10, 11, 14, 17};
	const TArray<int32> Warnings = {3, 4, 12};
	for (int32 Value = 0; Value <= 20; ++Value)
	{
		EXPECT_EQ(FQuarnStatusSubsystemTestAccess::IsError(*Subsystem, Value), Errors.Contains(Value)) << Value;
		EXPECT_EQ(FQuarnStatusSubsystemTestAccess::IsWarning(*Subsystem, Value), Warnings.Contains(Value)) << Value;
	}
}

TEST_F(StatusMode, SnapshotsStartEmptyAndFrameDataStartsAtIdentity)
{
	EXPECT_TRUE(Subsystem->GetSnapshots().IsEmpty());
	const FLiveLinkQuarnFrameData Last = Subsystem->GetLastSnapShot();
	const FLiveLinkQuarnFrameData Default;
	EXPECT_EQ(Last.FrameStatus, Default.FrameStatus);
	EXPECT_EQ(Last.LensDataLevel, Default.LensDataLevel);

	const UQuarnStatusFrameData* FrameData = NewObject<UQuarnStatusFrameData>();
	EXPECT_TRUE(FrameData->Transform.Equals(FTransform::Identity, 0.0));
	EXPECT_EQ(FrameData->RawFocus, 0);
	EXPECT_EQ(FrameData->RawZoom, 0);
}
