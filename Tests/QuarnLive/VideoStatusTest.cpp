#include "QuarnViewportEditorSubsystem.h"
#include "StudioFixture.h"

#include <vector>

namespace
{
	const FString NoCardsMessage = TEXT("No video cards detected: Use the Blackmagic Desktop Video Setup, AJA Control Panel or Bluefish444 Toolbox to confirm your cards are installed");
	const FString NoCameraMessage = TEXT("No QuarnCamera found in the scene. Add a QuarnStage to your scene to enable the video I/O");
	const FString OutputNotCapturingWithViewport = TEXT("Output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information.");

	class VideoStatusTest : public FQuarnStudioTest
	{
	protected:
		int32 Queries(const TCHAR* Name) const { return MediaModule().GetQueryCount(FName(Name)); }
	};

	using VideoCheckOrder = VideoStatusTest;
	using VideoFormatTolerance = VideoStatusTest;
	using VideoCameraCount = VideoStatusTest;
	using VideoOutputCapture = VideoStatusTest;

	using VideoGameRun = TGameRunOf<VideoStatusTest>;

	class VideoVerdict;

	/** One thing broken in a healthy studio, the status it leads to, and the queries the check must end before. */
	struct FVideoCase
	{
		const char* Name;
		void (*Break)(VideoVerdict&);
		FLinearColor Color;
		FString Message;
		std::vector<const TCHAR*> NeverAsked = {};
		const TCHAR* AskedOnce = nullptr;
	};

	void PrintTo(const FVideoCase& Case, std::ostream* Stream) { *Stream << Case.Name; }

	class VideoVerdict : public VideoStatusTest, public testing::WithParamInterface<FVideoCase>
	{
	public:
		using FQuarnStudioTest::RemoveMediaAssets;
		using FQuarnStudioTest::SetCameras;
		using FQuarnStudioTest::SetLayout;
		using FQuarnStudioTest::Settings;
		using FQuarnStudioTest::World;
		using FQuarnStudioTest::WriteMediaAsset;
		static FQuarnMediaEditorState& Media() { return MediaModule().State; }
	};

	const FVideoCase CheckOrderCases[] = {
		{"NoCardsStopsBeforeAnyOtherQuery", [](VideoVerdict& T) { T.Media().bHasVideoCards = false; }, FLinearColor::Red, NoCardsMessage,
			{TEXT("GetMediaIOFormats"), TEXT("GetInputFormatKind"), TEXT("GetOutputFormatKind"), TEXT("GetMediaAssetCounts"), TEXT("GetSignalStates")}, TEXT("HasVideoCards")},
		{"UnreadableFormatsStopBeforeTheFormatKinds", [](VideoVerdict& T) { T.Media().bFormatsReadable = false; }, FLinearColor::Red, TEXT("Could not fetch media I/O formats"),
			{TEXT("GetOutputFormatKind"), TEXT("GetMediaAssetCounts")}},
		{"MissingSettingsAreReportedAsUnrecoverable", [](VideoVerdict&) { UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(true); },
			FLinearColor::Red, TEXT("Could not access Quarn VP Settings - this is not recoverable, please restart engine."), {TEXT("GetOutputFormatKind")}, TEXT("GetMediaIOFormats")},
		// The input tolerance needs settings kind 1 before it asks the card.
		{"InputFormatMismatchNamesBothFormatsAndStopsBeforeTheOutputSide", [](VideoVerdict& T) { T.Media().InputFormat = TEXT("1080i50"); },
			FLinearColor::Red, TEXT("Input video format (1080i50) does not match the format in the Quarn Pranto Settings (1080p25)"), {TEXT("GetInputFormatKind"), TEXT("GetOutputFormatKind")}},
		{"OutputFormatMismatchNamesBothFormats", [](VideoVerdict& T) { T.Media().OutputFormat = TEXT("2160p25"); },
			FLinearColor::Red, TEXT("Output video format (2160p25) does not match the format in the Quarn Pranto Settings (1080p25)")},
		{"NoCameraStopsBeforeTheAssets", [](VideoVerdict& T) { T.SetCameras(0); }, FLinearColor::Red, NoCameraMessage, {TEXT("GetMediaAssetCounts")}},
		{"OnlyDestroyedCamerasCountAsNone", [](VideoVerdict& T) { const TArray<AQuarnCamera*> Cameras = T.SetCameras(2); T.World->DestroyActor(Cameras[0]); T.World->DestroyActor(Cameras[1]); }, FLinearColor::Red, NoCameraMessage},
		{"MissingMediaAssetsNameTheModeAndStopBeforeTheAssetCounts", [](VideoVerdict& T) { T.Settings->CompositingMode = EQuarnVirtualProductionMode::KeyAndFill; T.RemoveMediaAssets(); }, FLinearColor::Red, TEXT("No media assets found: Use the Video Controller panel to re-create the appropriate Unreal assets for Key And Fill mode."), {TEXT("GetMediaAssetCounts")}},
		{"MediaAssetsAreFoundInSubFolders", [](VideoVerdict& T) { T.RemoveMediaAssets(); T.WriteMediaAsset(TEXT("Quarn/Media/Inputs/Camera1.uasset")); }, FLinearColor::Green, TEXT("")},
		{"MissingEngineSubsystemIsFatal", [](VideoVerdict&) { UQuarnVPEngineSubsystem::SetAvailable(false); }, FLinearColor::Red, TEXT("Fatal: No Quarn Engine Sub-system found"), {TEXT("GetMediaAssetCounts")}},
		{"NoInputsNeedNothingToPlay", [](VideoVerdict& T) { T.SetLayout(0, 1); T.Media().NumInputAssets = 0; T.Media().bInputPlaying = false; }, FLinearColor::Green, TEXT("")},
	};

	const FVideoCase FormatToleranceCases[] = {
		{"FormatNamesMatchIgnoringCase", [](VideoVerdict& T) { T.Media().InputFormat = TEXT("1080P25"); T.Media().OutputFormat = TEXT("1080p25"); }, FLinearColor::Green, TEXT("")},
		// Neither the settings nor the output comparison reports it.
		{"InputOfKindZeroAtTheSettingsRateIsComparedWithNothing", [](VideoVerdict& T) { T.Settings->MediaFormatKind = 1; T.Settings->MediaFrameRate = FFrameRate(25, 1); T.Media().InputFormatKind = 0; T.Media().InputFrameRate = FFrameRate(50, 2); T.Media().InputFormat = TEXT("1080psf25"); }, FLinearColor::Green, TEXT("")},
		{"GraphicsOnlyStillComparesTheOutput", [](VideoVerdict& T) { T.Settings->CompositingMode = EQuarnVirtualProductionMode::GraphicsOnly; T.Media().InputFormat = TEXT("No Input"); T.Media().OutputFormat = TEXT("720p50"); }, FLinearColor::Red, TEXT("Output video format (720p50) does not match the format in the Quarn Pranto Settings (1080p25)")},
	};

	const FVideoCase CameraCountCases[] = {
		{"DestroyedCamerasAreNotCounted", [](VideoVerdict& T) { T.World->DestroyActor(T.SetCameras(3)[1]); }, FLinearColor::Green, TEXT("")},
		{"GraphicsOnlyAcceptsAnyNumberOfCameras", [](VideoVerdict& T) { T.Settings->CompositingMode = EQuarnVirtualProductionMode::GraphicsOnly; T.SetCameras(5); }, FLinearColor::Green, TEXT("")},
	};

	const FVideoCase OutputCaptureCases[] = {
		{"MissingViewportSubsystemAsksForARestart", [](VideoVerdict&) { UQuarnViewportEditorSubsystem::SetAvailable(false); },
			FLinearColor::Red, TEXT("Viewport sub-system not found. Please restart the Unreal Editor")},
		{"NoOutputsNeedNothingToCapture", [](VideoVerdict& T) { T.SetLayout(1, 0); T.Media().NumOutputAssets = 0; T.Media().bOutputCapturing = false; T.Media().bKeyOutputCapturing = false; }, FLinearColor::Green, TEXT("")},
	};

	std::string CaseName(const testing::TestParamInfo<FVideoCase>& Info) { return Info.param.Name; }
} // namespace

TEST_P(VideoVerdict, OneBrokenThingGivesItsStatusAndEndsTheCheck)
{
	const FVideoCase& Case = GetParam();
	SCOPED_TRACE(Case.Name);
	Case.Break(*this);
	MediaModule().ResetQueryCounts();
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(Case.Color, Case.Message));
	for (const TCHAR* Later : Case.NeverAsked)
	{
		EXPECT_EQ(Queries(Later), 0) << Later;
	}
	if (Case.AskedOnce)
	{
		EXPECT_EQ(Queries(Case.AskedOnce), 1) << Case.AskedOnce;
	}
}

INSTANTIATE_TEST_SUITE_P(VideoCheckOrder, VideoVerdict, testing::ValuesIn(CheckOrderCases), CaseName);
INSTANTIATE_TEST_SUITE_P(VideoFormatTolerance, VideoVerdict, testing::ValuesIn(FormatToleranceCases), CaseName);
INSTANTIATE_TEST_SUITE_P(VideoCameraCount, VideoVerdict, testing::ValuesIn(CameraCountCases), CaseName);
INSTANTIATE_TEST_SUITE_P(VideoOutputCapture, VideoVerdict, testing::ValuesIn(OutputCaptureCases), CaseName);

TEST_F(VideoCheckOrder, AHealthyStudioIsGreenWithAnEmptyMessage)
{
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(Subsystem->VideoInput, FQuarnStatus()) << "the editor never writes the detail statuses";
	EXPECT_EQ(Subsystem->VideoOutput, FQuarnStatus());
}

TEST_F(VideoCheckOrder, FilesThatAreNotAssetsDoNotCount)
{
	RemoveMediaAssets();
	WriteMediaAsset(TEXT("Quarn/Media/Notes.txt"));
	WriteMediaAsset(TEXT("Quarn/Other/Camera1.uasset"));
	Evaluate();
	EXPECT_TRUE(Subsystem->VideoStatus.Message.StartsWith(TEXT("No media assets found"), ESearchCase::CaseSensitive)) << Subsystem->VideoStatus.Message.ToStdString();
}

TEST_F(VideoCheckOrder, AssetCountsMustMatchTheModeLayoutInputsFirst)
{
	MediaModule().State.NumInputAssets = 2;
	MediaModule().State.NumOutputAssets = 0;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Incorrect input media assets: Use the Video Controller to generate the appropriate Unreal assets for Augmented Reality mode.")));

	MediaModule().State.NumInputAssets = 1;
	MediaModule().ResetQueryCounts();
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Incorrect output media assets: Use the Video Controller to generate the appropriate Unreal assets for Augmented Reality mode.")));
	EXPECT_EQ(Queries(TEXT("GetSignalStates")), 0);
}

TEST_F(VideoCheckOrder, InputsMustPlayAndTheKeyInputOnlyWithTwoInputs)
{
	MediaModule().State.bInputPlaying = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Input video is not playing. Check the configuration in the video controller matches your input video format.")));

	MediaModule().State.bInputPlaying = true;
	MediaModule().State.bKeyInputPlaying = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Green) << "one input needs no key";

	SetLayout(2, 1);
	MediaModule().State.NumInputAssets = 2;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Key input video is not playing. Check the configuration in the video controller matches your input video format.")));
}

TEST_F(VideoCheckOrder, InputAndOutputFormatsThatDifferAreAWarning)
{
	Settings->MediaFormat = TEXT("1080p50");
	MediaModule().State.InputFormat = TEXT("1080p50");
	MediaModule().State.OutputFormat = TEXT("1080p50");
	Evaluate();
	ASSERT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Green);

	// Mode Graphics Only skips the input comparison, so only the final comparison sees it.
	Settings->CompositingMode = EQuarnVirtualProductionMode::GraphicsOnly;
	MediaModule().State.InputFormat = TEXT("720p50");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Yellow, TEXT("Input format (720p50) does not match output format (1080p50)")));
}

TEST_F(VideoCheckOrder, NoInputInAnyCaseNeverWarnsAboutTheOutputFormat)
{
	Settings->CompositingMode = EQuarnVirtualProductionMode::GraphicsOnly;
	for (const TCHAR* NoInput : {TEXT("No Input"), TEXT("no input"), TEXT("NO INPUT")})
	{
		MediaModule().State.InputFormat = NoInput;
		Evaluate();
		EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT(""))) << NoInput;
	}
}

TEST_F(VideoFormatTolerance, EmptyNamesMatchEachOtherButNotAName)
{
	Settings->MediaFormat = TEXT("");
	MediaModule().State.InputFormat = TEXT("");
	MediaModule().State.OutputFormat = TEXT("");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Green);

	MediaModule().State.InputFormat = TEXT("1080p25");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, TEXT("Input video format (1080p25) does not match the format in the Quarn Pranto Settings ()")));
}

TEST_F(VideoFormatTolerance, InputToleranceNeedsTheSameFrameRateAndKind)
{
	Settings->MediaFormatKind = 1;
	MediaModule().State.InputFormat = TEXT("1080psf25");
	MediaModule().State.InputFormatKind = 0;
	MediaModule().State.InputFrameRate = FFrameRate(30000, 1001);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Red) << "another frame rate";

	MediaModule().State.InputFrameRate = FFrameRate(25, 1);
	MediaModule().State.InputFormatKind = 1;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Red) << "another card kind";

	Settings->MediaFormatKind = 0;
	MediaModule().State.InputFormatKind = 0;
	MediaModule().ResetQueryCounts();
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Red) << "settings of kind 0";
	EXPECT_EQ(Queries(TEXT("GetInputFormatKind")), 0);
	EXPECT_EQ(Queries(TEXT("GetInputFrameRate")), 0);
}

TEST_F(VideoFormatTolerance, OutputOfKindOneAtTheSettingsRateIsComparedWithNothing)
{
	MediaModule().State.OutputFormatKind = 1;
	MediaModule().State.OutputFrameRate = FFrameRate(25, 1);
	MediaModule().State.OutputFormat = TEXT("1080psf25");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));

	MediaModule().State.OutputFrameRate = FFrameRate(50, 1);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, TEXT("Output video format (1080psf25) does not match the format in the Quarn Pranto Settings (1080p25)")));
}

TEST_F(VideoCameraCount, TwoCamerasPassAndThreeFail)
{
	SetCameras(2);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus.Color, FLinearColor::Green);

	SetCameras(3);
	MediaModule().ResetQueryCounts();
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Too many cameras found in the scene. There should only be one QuarnCamera for Augmented Reality mode")));
	EXPECT_EQ(Queries(TEXT("GetMediaAssetCounts")), 0);
}

TEST_F(VideoOutputCapture, OutputNotCapturingDependsOnTheOutputViewport)
{
	MediaModule().State.bOutputCapturing = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Output video is not capturing. Please open the Windows > Viewports > Quarn Viewport, set the Viewport Type to Quarn Output and then Refresh")));

	UQuarnViewportEditorSubsystem::Get()->SetViewportLayoutEntity(EQuarnMediaIOSignal::Output, true);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, OutputNotCapturingWithViewport));
}

TEST_F(VideoOutputCapture, KeyOutputNotCapturingIsAWarningWhenItsViewportExists)
{
	SetLayout(1, 2);
	MediaModule().State.NumOutputAssets = 2;
	MediaModule().State.bKeyOutputCapturing = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Red, TEXT("Output video is not capturing. Please open the Windows > Viewports > Key Viewport,  set the Viewport Type to Quarn Key Output and then Refresh")));

	UQuarnViewportEditorSubsystem::Get()->SetViewportLayoutEntity(EQuarnMediaIOSignal::KeyOutput, true);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus,
		Status(FLinearColor::Yellow, TEXT("Key output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information.")));

	MediaModule().State.bOutputCapturing = false;
	UQuarnViewportEditorSubsystem::Get()->SetViewportLayoutEntity(EQuarnMediaIOSignal::Output, true);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, OutputNotCapturingWithViewport)) << "the main output is checked first";
}

TEST_F(VideoGameRun, DetailStatusesCarryTheModuleDescriptions)
{
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(Subsystem->VideoInput, Status(FLinearColor::Green, TEXT("DeckLink 8K Pro (1) 1080p25")));
	EXPECT_EQ(Subsystem->VideoOutput, Status(FLinearColor::Green, TEXT("DeckLink 8K Pro (2) 1080p25")));
}

TEST_F(VideoGameRun, InvalidAndNoValidDescriptionsAreRedIgnoringCase)
{
	MediaModule().State.InputDescription = TEXT("invalid");
	MediaModule().State.OutputDescription = TEXT("No Valid Output(s)");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoInput, Status(FLinearColor::Red, TEXT("invalid")));
	EXPECT_EQ(Subsystem->VideoOutput, Status(FLinearColor::Red, TEXT("No Valid Output(s)")));

	// Each side has its own no-valid text.
	MediaModule().State.InputDescription = TEXT("No valid output(s)");
	MediaModule().State.OutputDescription = TEXT("No valid input(s)");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoInput.Color, FLinearColor::Green);
	EXPECT_EQ(Subsystem->VideoOutput.Color, FLinearColor::Green);

	MediaModule().State.InputDescription = TEXT("NO VALID INPUT(S)");
	MediaModule().State.OutputDescription = TEXT("INVALID");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoInput.Color, FLinearColor::Red);
	EXPECT_EQ(Subsystem->VideoOutput.Color, FLinearColor::Red);
}

TEST_F(VideoGameRun, NeitherAssetsNorCaptureAreChecked)
{
	RemoveMediaAssets();
	UQuarnViewportEditorSubsystem::SetAvailable(false);
	MediaModule().State.bOutputCapturing = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Green, TEXT("")));
}

TEST_F(VideoGameRun, CamerasComeFromTheEngineSubsystem)
{
	SetCameras(0);
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, NoCameraMessage));
}

TEST_F(VideoGameRun, AnEarlyStopLeavesTheDetailStatusesAsTheyWere)
{
	Evaluate();
	MediaModule().State.bHasVideoCards = false;
	MediaModule().State.InputDescription = TEXT("Invalid");
	MediaModule().ResetQueryCounts();
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Red, NoCardsMessage));
	EXPECT_EQ(Subsystem->VideoInput, Status(FLinearColor::Green, TEXT("DeckLink 8K Pro (1) 1080p25")));
	EXPECT_EQ(Queries(TEXT("GetInputDescription")), 0);

	MediaModule().State.bHasVideoCards = true;
	MediaModule().State.bInputPlaying = false;
	Evaluate();
	EXPECT_EQ(Subsystem->VideoInput.Color, FLinearColor::Green) << "the playing check stops before the descriptions";
}

TEST_F(VideoGameRun, TheFinalFormatComparisonAppliesToGamesToo)
{
	Settings->CompositingMode = EQuarnVirtualProductionMode::GraphicsOnly;
	MediaModule().State.InputFormat = TEXT("720p50");
	Evaluate();
	EXPECT_EQ(Subsystem->VideoStatus, Status(FLinearColor::Yellow, TEXT("Input format (720p50) does not match output format (1080p25)")));
	EXPECT_EQ(Subsystem->VideoInput.Color, FLinearColor::Green) << "the descriptions are read before the final comparison";
}
