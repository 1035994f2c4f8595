// The legs' decisions, judged on the answers of their queries alone: no engine is booted.

#include "QuarnStatusPrinting.h"
#include "Status/QuarnLensRules.h"
#include "Status/QuarnSyncRules.h"
#include "Status/QuarnTrackingRules.h"
#include "Status/QuarnVideoRules.h"

#include <gtest/gtest.h>

namespace
{
	using QuarnTrackingRules::FQuarnTrackingFindings;
	using QuarnVideoRules::FQuarnVideoSignals;

	FQuarnStatus Status(const FLinearColor& Color, const FString& Message) { return QuarnStatusFinding::MakeStatus(Color, Message); }

	// One source, one subject, received by a camera: the table's healthy row.
	FQuarnTrackingFindings HealthyTracking()
	{
		FQuarnTrackingFindings Findings;
		Findings.NumQuarnSources = 1;
		Findings.NumQuarnSubjects = 1;
		Findings.bNothingReceiving = false;
		return Findings;
	}

	FQuarnVideoSignals SignalsFor(int32 Inputs, int32 Outputs)
	{
		FQuarnVideoSignals Signals;
		Signals.ExpectedInputs = Signals.InputAssets = Inputs;
		Signals.ExpectedOutputs = Signals.OutputAssets = Outputs;
		return Signals;
	}
} // namespace

TEST(TrackingVerdict, MissingZentrelsOutrankEverySubjectFinding)
{
	FQuarnTrackingFindings Findings = HealthyTracking();
	Findings.bZentrelsMissing = true;
	Findings.NumQuarnSources = 0;
	Findings.bNoTrackingData = true;
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings).Message, TEXT("No Zentrels found: Use the Zentrels panel to Auto-Configure the Zentrel"));
}

TEST(TrackingVerdict, NoSourceOutranksNoSubject)
{
	FQuarnTrackingFindings Findings;
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings), Status(FLinearColor::Red, TEXT("No LiveLink Source: Add a Quarn source in the LiveLink window")));
}

TEST(TrackingVerdict, ASubjectErrorKeepsWhatThePassWroteEvenWhenNothingReceives)
{
	FQuarnTrackingFindings Findings = HealthyTracking();
	Findings.bSubjectError = true;
	Findings.bNothingReceiving = true;
	Findings.SubjectPassStatus = Status(FLinearColor::Yellow, TEXT("warning of an earlier subject"));
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings), Findings.SubjectPassStatus);
}

TEST(TrackingVerdict, NothingReceivingIsAWarningOfItsOwn)
{
	FQuarnTrackingFindings Findings = HealthyTracking();
	Findings.bNothingReceiving = true;
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings).Color, FLinearColor::Yellow);
	EXPECT_TRUE(QuarnTrackingRules::TrackingVerdict(Findings).Message.StartsWith(TEXT("LiveLink has data, but nothing in scene receiving")));
}

TEST(TrackingVerdict, ASubjectWarningSurvivesAndOtherwiseTheStudioIsGreen)
{
	FQuarnTrackingFindings Findings = HealthyTracking();
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings), Status(FLinearColor::Green, TEXT("")));
	Findings.bSubjectWarning = true;
	Findings.SubjectPassStatus = QuarnTrackingRules::TrackedActorBelowOpticalGood(TEXT("Cam"), TEXT("Optical Fair"));
	EXPECT_EQ(QuarnTrackingRules::TrackingVerdict(Findings),
		Status(FLinearColor::Yellow, TEXT("At least one tracked actor has < Optical Good: Cam has status Optical Fair")));
}

TEST(TrackingSubjectRules, NoDataTextMatchesIgnoringCaseAndAnErrorCountsOnlyWhenReported)
{
	EXPECT_TRUE(QuarnTrackingRules::SubjectHasTrackingData(TEXT("no data"), TEXT("No Data"), TEXT("Cam")).IsSet());
	EXPECT_FALSE(QuarnTrackingRules::SubjectHasTrackingData(TEXT("Optical Good"), TEXT("No Data"), TEXT("Cam")).IsSet());
	EXPECT_FALSE(QuarnTrackingRules::SubjectHasNoReportedError(false, TEXT("Cam"), TEXT("Lost")).IsSet());
	EXPECT_TRUE(QuarnTrackingRules::SubjectHasNoReportedError(true, TEXT("Cam"), TEXT("Lost")).IsSet());
}

TEST(SyncMonitorVerdict, EachStateHasItsColourAndAnyOtherValueIsHealthy)
{
	using QuarnSyncRules::TimedDataMonitorVerdict;
	EXPECT_EQ(TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState::NoSources).Color, FLinearColor::Red);
	EXPECT_EQ(TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState::NotSynchronized).Color, FLinearColor::Red);
	EXPECT_EQ(TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState::Disabled),
		Status(FLinearColor::Yellow, TEXT("The Timed Data Monitor is disabled - check the panel.")));
	EXPECT_EQ(TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState::Synchronized), Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(TimedDataMonitorVerdict(static_cast<ETimedDataMonitorEvaluationState>(7)), Status(FLinearColor::Green, TEXT("")));
}

TEST(SyncSupportMessages, BothSubsystemMessagesEndWithTheSameContact)
{
	const FString NotLoadable = QuarnSyncRules::EngineExists(false).GetValue().Message;
	const FString NotLoaded = QuarnSyncRules::TimedDataMonitorSubsystemExists(false).GetValue().Message;
	const FString Prefix = TEXT("Timed Data Monitor sub system is not loaded. Please report this to ");
	ASSERT_TRUE(NotLoaded.StartsWith(Prefix));
	const FString Contact = NotLoaded.RightChop(Prefix.Len());
	EXPECT_FALSE(Contact.IsEmpty());
	EXPECT_TRUE(NotLoadable.EndsWith(Contact));
}

TEST(VideoFormatRules, RatesCompareByValueAndNamesIgnoringCase)
{
	EXPECT_TRUE(QuarnVideoRules::FrameRatesMatch(FFrameRate(25, 1), FFrameRate(50, 2)));
	EXPECT_FALSE(QuarnVideoRules::FrameRatesMatch(FFrameRate(25, 1), FFrameRate(30000, 1001)));
	EXPECT_FALSE(QuarnVideoRules::InputFormatMatchesSettings(true, true, TEXT("1080P25"), TEXT("1080p25")).IsSet());
	EXPECT_FALSE(QuarnVideoRules::InputFormatMatchesSettings(false, true, TEXT("1080i50"), TEXT("1080p25")).IsSet()) << "graphics only ignores the input";
	EXPECT_FALSE(QuarnVideoRules::OutputFormatMatchesSettings(false, TEXT("1080i50"), TEXT("1080p25")).IsSet()) << "a tolerated output is not compared";
}

TEST(VideoFormatRules, NoInputNeverDisagreesWithTheOutputAndAToleratedSideSilencesTheComparison)
{
	using QuarnVideoRules::FormatAgreementVerdict;
	EXPECT_EQ(FormatAgreementVerdict(TEXT("no input"), TEXT("1080p25"), true, true).Color, FLinearColor::Green);
	EXPECT_EQ(FormatAgreementVerdict(TEXT("1080i50"), TEXT("1080p25"), false, true).Color, FLinearColor::Green);
	EXPECT_EQ(FormatAgreementVerdict(TEXT("1080i50"), TEXT("1080p25"), true, true),
		Status(FLinearColor::Yellow, TEXT("Input format (1080i50) does not match output format (1080p25)")));
}

TEST(VideoCameraRules, TwoCamerasPassAndThreeAreTooManyUnlessTheModeNeedsNoPicture)
{
	EXPECT_TRUE(QuarnVideoRules::SomeCameraIsInTheScene(true, 0).IsSet());
	EXPECT_FALSE(QuarnVideoRules::CameraCountFitsMode(2, true, TEXT("Augmented Reality")).IsSet());
	EXPECT_EQ(QuarnVideoRules::CameraCountFitsMode(3, true, TEXT("Augmented Reality")).GetValue().Message,
		TEXT("Too many cameras found in the scene. There should only be one QuarnCamera for Augmented Reality mode"));
	EXPECT_FALSE(QuarnVideoRules::CameraCountFitsMode(3, false, TEXT("Graphics Only")).IsSet());
}

TEST(VideoSignalRules, TheKeySignalsAreJudgedOnlyForALayoutOfTwo)
{
	FQuarnVideoSignals One = SignalsFor(1, 1);
	One.bInputPlaying = true;
	One.bOutputCapturing = true;
	EXPECT_FALSE(QuarnVideoRules::InputsArePlaying(One).IsSet());
	EXPECT_FALSE(QuarnVideoRules::IsKeyOutputMissing(One));

	FQuarnVideoSignals Two = One;
	Two.ExpectedInputs = Two.InputAssets = Two.ExpectedOutputs = Two.OutputAssets = 2;
	EXPECT_TRUE(QuarnVideoRules::InputsArePlaying(Two).GetValue().Message.StartsWith(TEXT("Key input video is not playing.")));
	EXPECT_TRUE(QuarnVideoRules::IsKeyOutputMissing(Two));
	EXPECT_FALSE(QuarnVideoRules::IsOutputMissing(SignalsFor(0, 0))) << "no expected output, no capture check";
}

TEST(VideoSignalRules, AKeyOutputAtFaultIsOnlyAWarning)
{
	EXPECT_EQ(QuarnVideoRules::KeyOutputNotCapturing(true).Color, FLinearColor::Yellow);
	EXPECT_EQ(QuarnVideoRules::KeyOutputNotCapturing(false).Color, FLinearColor::Red);
	EXPECT_EQ(QuarnVideoRules::OutputNotCapturing(true).Color, FLinearColor::Red);
}

TEST(VideoDescriptionRules, OnlyTheNoValidTextOfItsOwnSideIsRed)
{
	EXPECT_EQ(QuarnVideoRules::InputDescriptionStatus(TEXT("INVALID")), Status(FLinearColor::Red, TEXT("INVALID")));
	EXPECT_EQ(QuarnVideoRules::InputDescriptionStatus(TEXT("no valid input(s)")).Color, FLinearColor::Red);
	EXPECT_EQ(QuarnVideoRules::InputDescriptionStatus(TEXT("No valid output(s)")).Color, FLinearColor::Green);
	EXPECT_EQ(QuarnVideoRules::OutputDescriptionStatus(TEXT("No valid output(s)")).Color, FLinearColor::Red);
}

TEST(LensRules, ARedTrackingStatusStopsTheLegAndOnlyAFullBlendDistorts)
{
	EXPECT_TRUE(QuarnLensRules::TrackingIsNotRed(Status(FLinearColor::Red, TEXT(""))).IsSet());
	EXPECT_FALSE(QuarnLensRules::TrackingIsNotRed(Status(FLinearColor::Yellow, TEXT("x"))).IsSet());
	EXPECT_TRUE(QuarnLensRules::IsDistortionBlendable(TEXT("m_quarndistortionpostprocess"), 1.0f));
	EXPECT_FALSE(QuarnLensRules::IsDistortionBlendable(TEXT("M_QuarnDistortionPostProcess"), 0.999f));
	EXPECT_FALSE(QuarnLensRules::IsDistortionBlendable(TEXT("M_Other"), 1.0f));
	EXPECT_TRUE(QuarnLensRules::LensDataArrives(0.5f, TEXT("Subject Cam")).GetValue().Message.Contains(TEXT("Subject Cam is not receiving lens data")));
	EXPECT_FALSE(QuarnLensRules::LensDataArrives(1.0f, TEXT("Cam")).IsSet());
}
