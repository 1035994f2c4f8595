#include "Status/QuarnVideoRules.h"

namespace QuarnVideoRules
{
	using namespace QuarnStatusFinding;

	namespace
	{
		FQuarnStatus DescribedStatus(const FString& Description, const TCHAR* NoValidText)
		{
			const bool bInvalid = Description.Equals(TEXT("Invalid"), ESearchCase::IgnoreCase) || Description.Equals(NoValidText, ESearchCase::IgnoreCase);
			return MakeStatus(bInvalid ? FLinearColor::Red : FLinearColor::Green, Description);
		}
	} // namespace

	FQuarnStatusFinding VideoCardsAreInstalled(bool bHasVideoCards)
	{
		return bHasVideoCards ? Passed() : Red(TEXT("No video cards detected: Use the Blackmagic Desktop Video Setup, AJA Control Panel or Bluefish444 Toolbox to confirm your cards are installed"));
	}

	FQuarnStatusFinding MediaFormatsAreReadable(bool bReadable)
	{
		return bReadable ? Passed() : Red(TEXT("Could not fetch media I/O formats"));
	}

	FQuarnStatusFinding VPSettingsExist(bool bExist)
	{
		return bExist ? Passed() : Red(TEXT("Could not access Quarn VP Settings - this is not recoverable, please restart engine."));
	}

	bool FormatsMatch(const FString& A, const FString& B)
	{
		return A.Equals(B, ESearchCase::IgnoreCase);
	}

	bool FrameRatesMatch(const FFrameRate& A, const FFrameRate& B)
	{
		return static_cast<double>(A.Numerator) / static_cast<double>(A.Denominator)
			== static_cast<double>(B.Numerator) / static_cast<double>(B.Denominator);
	}

	FQuarnStatusFinding InputFormatMatchesSettings(bool bModeNeedsCameraPicture, bool bCheckInputFormat, const FString& InputFormat, const FString& SettingsFormat)
	{
		if (bModeNeedsCameraPicture && !FormatsMatch(InputFormat, SettingsFormat) && bCheckInputFormat)
		{
			return Red(FString::Printf(TEXT("Input video format (%s) does not match the format in the Quarn Pranto Settings (%s)"), *InputFormat, *SettingsFormat));
		}
		return Passed();
	}

	FQuarnStatusFinding OutputFormatMatchesSettings(bool bCheckOutputFormat, const FString& OutputFormat, const FString& SettingsFormat)
	{
		if (!FormatsMatch(OutputFormat, SettingsFormat) && bCheckOutputFormat)
		{
			return Red(FString::Printf(TEXT("Output video format (%s) does not match the format in the Quarn Pranto Settings (%s)"), *OutputFormat, *SettingsFormat));
		}
		return Passed();
	}

	FQuarnStatusFinding SomeCameraIsInTheScene(bool bFoundCameras, int32 NumValidCameras)
	{
		if (!bFoundCameras || NumValidCameras == 0)
		{
			return Red(TEXT("No QuarnCamera found in the scene. Add a QuarnStage to your scene to enable the video I/O"));
		}
		return Passed();
	}

	FQuarnStatusFinding CameraCountFitsMode(int32 NumValidCameras, bool bModeNeedsCameraPicture, const FString& ModeText)
	{
		constexpr int32 TooManyCameras = 3;
		if (NumValidCameras >= TooManyCameras && bModeNeedsCameraPicture)
		{
			return Red(FString::Printf(TEXT("Too many cameras found in the scene. There should only be one QuarnCamera for %s mode"), *ModeText));
		}
		return Passed();
	}

	FQuarnStatusFinding MediaAssetsExist(bool bHasMediaAssets, const FString& ModeText)
	{
		return bHasMediaAssets ? Passed() : Red(FString::Printf(TEXT("No media assets found: Use the Video Controller panel to re-create the appropriate Unreal assets for %s mode."), *ModeText));
	}

	FQuarnStatusFinding VPEngineSubsystemExists(bool bExists)
	{
		return bExists ? Passed() : Red(TEXT("Fatal: No Quarn Engine Sub-system found"));
	}

	FQuarnStatusFinding MediaAssetCountsMatchLayout(const FQuarnVideoSignals& Signals, const FString& ModeText)
	{
		if (Signals.ExpectedInputs != Signals.InputAssets)
		{
			return Red(FString::Printf(TEXT("Incorrect input media assets: Use the Video Controller to generate the appropriate Unreal assets for %s mode."), *ModeText));
		}
		if (Signals.ExpectedOutputs != Signals.OutputAssets)
		{
			return Red(FString::Printf(TEXT("Incorrect output media assets: Use the Video Controller to generate the appropriate Unreal assets for %s mode."), *ModeText));
		}
		return Passed();
	}

	FQuarnStatusFinding InputsArePlaying(const FQuarnVideoSignals& Signals)
	{
		if (Signals.ExpectedInputs >= 1 && !Signals.bInputPlaying)
		{
			return Red(TEXT("Input video is not playing. Check the configuration in the video controller matches your input video format."));
		}
		if (Signals.ExpectedInputs == 2 && !Signals.bKeyInputPlaying)
		{
			return Red(TEXT("Key input video is not playing. Check the configuration in the video controller matches your input video format."));
		}
		return Passed();
	}

	FQuarnStatusFinding ViewportSubsystemExists(bool bExists)
	{
		return bExists ? Passed() : Red(TEXT("Viewport sub-system not found. Please restart the Unreal Editor"));
	}

	bool IsOutputMissing(const FQuarnVideoSignals& Signals)
	{
		return Signals.ExpectedOutputs >= 1 && !Signals.bOutputCapturing;
	}

	bool IsKeyOutputMissing(const FQuarnVideoSignals& Signals)
	{
		return Signals.ExpectedOutputs == 2 && !Signals.bKeyOutputCapturing;
	}

	FQuarnStatus OutputNotCapturing(bool bHasOutputViewport)
	{
		return bHasOutputViewport
			? MakeStatus(FLinearColor::Red,
				TEXT("Output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information."))
			: MakeStatus(FLinearColor::Red,
				TEXT("Output video is not capturing. Please open the Windows > Viewports > Quarn Viewport, set the Viewport Type to Quarn Output and then Refresh"));
	}

	FQuarnStatus KeyOutputNotCapturing(bool bHasKeyOutputViewport)
	{
		return bHasKeyOutputViewport
			? MakeStatus(FLinearColor::Yellow,
				TEXT("Key output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information."))
			: MakeStatus(FLinearColor::Red,
				TEXT("Output video is not capturing. Please open the Windows > Viewports > Key Viewport,  set the Viewport Type to Quarn Key Output and then Refresh"));
	}

	FQuarnStatus InputDescriptionStatus(const FString& Description)
	{
		return DescribedStatus(Description, TEXT("No valid input(s)"));
	}

	FQuarnStatus OutputDescriptionStatus(const FString& Description)
	{
		return DescribedStatus(Description, TEXT("No valid output(s)"));
	}

	FQuarnStatus FormatAgreementVerdict(const FString& InputFormat, const FString& OutputFormat, bool bCheckInputFormat, bool bCheckOutputFormat)
	{
		if (!FormatsMatch(InputFormat, OutputFormat) && !InputFormat.Equals(TEXT("No Input"), ESearchCase::IgnoreCase) && bCheckInputFormat && bCheckOutputFormat)
		{
			return MakeStatus(FLinearColor::Yellow, FString::Printf(TEXT("Input format (%s) does not match output format (%s)"), *InputFormat, *OutputFormat));
		}
		return MakeStatus(FLinearColor::Green, FString());
	}
} // namespace QuarnVideoRules
