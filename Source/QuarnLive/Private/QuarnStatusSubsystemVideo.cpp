// Video leg: cards, formats, cameras, media assets and signals.

#include "AssetRegistry/IAssetRegistry.h"
#include "IQuarnMediaEditorModule.h"
#include "Misc/CoreMisc.h"
#include "Modules/ModuleManager.h"
#include "QuarnCamera.h"
#include "QuarnMediaLayout.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnViewportEditorSubsystem.h"

namespace
{
	// The compositing mode without a camera picture: input format and camera count do not matter.
	constexpr uint8 GraphicsOnlyModeValue = 2;

	FQuarnStatus MakeStatus(const FLinearColor& Color, const FString& Message)
	{
		FQuarnStatus Status;
		Status.Color = Color;
		Status.Message = Message;
		return Status;
	}

	bool FormatsMatch(const FString& A, const FString& B)
	{
		return A.Equals(B, ESearchCase::IgnoreCase);
	}

	// 25/1 and 50/2 are the same rate.
	bool FrameRatesMatch(const FFrameRate& A, const FFrameRate& B)
	{
		return static_cast<double>(A.Numerator) / static_cast<double>(A.Denominator)
			== static_cast<double>(B.Numerator) / static_cast<double>(B.Denominator);
	}

	FQuarnStatus DescribedStatus(const FString& Description, const TCHAR* NoValidText)
	{
		const bool bInvalid = Description.Equals(TEXT("Invalid"), ESearchCase::IgnoreCase) || Description.Equals(NoValidText, ESearchCase::IgnoreCase);
		return MakeStatus(bInvalid ? FLinearColor::Red : FLinearColor::Green, Description);
	}
} // namespace

void UQuarnStatusSubsystem::UpdateVideoStatus()
{
	VideoStatus = FQuarnStatus();
	CachedModeText = GetModeAsString();
	const bool bModeNeedsCameraPicture = static_cast<uint8>(CachedMode) != GraphicsOnlyModeValue;

	IQuarnMediaEditorModule& MediaModule = FModuleManager::LoadModuleChecked<IQuarnMediaEditorModule>(TEXT("QuarnMediaEditor"));
	if (!MediaModule.HasVideoCards())
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			TEXT("No video cards detected: Use the Blackmagic Desktop Video Setup, AJA Control Panel or Bluefish444 Toolbox to confirm your cards are installed"));
		return;
	}

	FString InputFormat;
	FString OutputFormat;
	if (!MediaModule.GetMediaIOFormats(InputFormat, OutputFormat))
	{
		VideoStatus = MakeStatus(FLinearColor::Red, TEXT("Could not fetch media I/O formats"));
		return;
	}

	const UQuarnVirtualProductionSettings* Settings = GetDefault<UQuarnVirtualProductionSettings>();
	if (!Settings)
	{
		VideoStatus = MakeStatus(FLinearColor::Red, TEXT("Could not access Quarn VP Settings - this is not recoverable, please restart engine."));
		return;
	}
	const FString SettingsFormat = Settings->GetMediaFormatString();

	// A card format of another kind at the project's frame rate is accepted as it is: it is
	// then compared neither with the settings nor with the other side.
	bool bCheckInputFormat = true;
	if (Settings->MediaFormatKind == 1 && MediaModule.GetInputFormatKind() == 0 && FrameRatesMatch(Settings->MediaFrameRate, MediaModule.GetInputFrameRate()))
	{
		bCheckInputFormat = false;
	}
	if (bModeNeedsCameraPicture && !FormatsMatch(InputFormat, SettingsFormat) && bCheckInputFormat)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			FString::Printf(TEXT("Input video format (%s) does not match the format in the Quarn Pranto Settings (%s)"), *InputFormat, *SettingsFormat));
		return;
	}

	bool bCheckOutputFormat = true;
	if (Settings->MediaFormatKind == 0 && MediaModule.GetOutputFormatKind() == 1 && FrameRatesMatch(Settings->MediaFrameRate, MediaModule.GetOutputFrameRate()))
	{
		bCheckOutputFormat = false;
	}
	if (!FormatsMatch(OutputFormat, SettingsFormat) && bCheckOutputFormat)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			FString::Printf(TEXT("Output video format (%s) does not match the format in the Quarn Pranto Settings (%s)"), *OutputFormat, *SettingsFormat));
		return;
	}

	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	const bool bFoundCameras = GetQuarnCameras(Cameras);
	int32 NumValidCameras = 0;
	for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
	{
		NumValidCameras += Camera.IsValid() ? 1 : 0;
	}
	if (!bFoundCameras || NumValidCameras == 0)
	{
		VideoStatus = MakeStatus(FLinearColor::Red, TEXT("No QuarnCamera found in the scene. Add a QuarnStage to your scene to enable the video I/O"));
		return;
	}
	// Two cameras are still accepted.
	if (NumValidCameras >= 3 && bModeNeedsCameraPicture)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			FString::Printf(TEXT("Too many cameras found in the scene. There should only be one QuarnCamera for %s mode"), *CachedModeText));
		return;
	}

	const bool bRunningAsGame = IsRunningGame();
	if (!bRunningAsGame)
	{
		const FString MediaAssetPath = FString(TEXT("/Game/")) + TEXT("Quarn/Media");
		if (!IAssetRegistry::GetChecked().HasAssets(FName(*MediaAssetPath), true))
		{
			VideoStatus = MakeStatus(FLinearColor::Red,
				FString::Printf(TEXT("No media assets found: Use the Video Controller panel to re-create the appropriate Unreal assets for %s mode."), *CachedModeText));
			return;
		}
	}

	const UQuarnVPEngineSubsystem* VPEngineSubsystem = UQuarnVPEngineSubsystem::Get();
	if (!VPEngineSubsystem)
	{
		VideoStatus = MakeStatus(FLinearColor::Red, TEXT("Fatal: No Quarn Engine Sub-system found"));
		return;
	}

	const UQuarnMediaLayout* MediaLayout = VPEngineSubsystem->GetModeMediaLayout();
	const int32 ExpectedInputs = MediaLayout->GetNumInputs();
	const int32 ExpectedOutputs = MediaLayout->GetNumOutputs();
	int32 InputAssets = 0;
	int32 OutputAssets = 0;
	MediaModule.GetMediaAssetCounts(InputAssets, OutputAssets);
	if (ExpectedInputs != InputAssets)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			FString::Printf(TEXT("Incorrect input media assets: Use the Video Controller to generate the appropriate Unreal assets for %s mode."), *CachedModeText));
		return;
	}
	if (ExpectedOutputs != OutputAssets)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			FString::Printf(TEXT("Incorrect output media assets: Use the Video Controller to generate the appropriate Unreal assets for %s mode."), *CachedModeText));
		return;
	}

	bool bInputPlaying = false;
	bool bKeyInputPlaying = false;
	bool bOutputCapturing = false;
	bool bKeyOutputCapturing = false;
	MediaModule.GetSignalStates(bInputPlaying, bKeyInputPlaying, bOutputCapturing, bKeyOutputCapturing);
	if (ExpectedInputs >= 1 && !bInputPlaying)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			TEXT("Input video is not playing. Check the configuration in the video controller matches your input video format."));
		return;
	}
	if (ExpectedInputs == 2 && !bKeyInputPlaying)
	{
		VideoStatus = MakeStatus(FLinearColor::Red,
			TEXT("Key input video is not playing. Check the configuration in the video controller matches your input video format."));
		return;
	}

	if (!bRunningAsGame)
	{
		const UQuarnViewportEditorSubsystem* ViewportSubsystem = UQuarnViewportEditorSubsystem::Get();
		if (!ViewportSubsystem)
		{
			VideoStatus = MakeStatus(FLinearColor::Red, TEXT("Viewport sub-system not found. Please restart the Unreal Editor"));
			return;
		}
		// With a viewport in place the capture itself is at fault; without one, the operator is told how to make it.
		if (ExpectedOutputs >= 1 && !bOutputCapturing)
		{
			if (ViewportSubsystem->HasViewportLayoutEntity(EQuarnMediaIOSignal::Output))
			{
				VideoStatus = MakeStatus(FLinearColor::Red,
					TEXT("Output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information."));
			}
			else
			{
				VideoStatus = MakeStatus(FLinearColor::Red,
					TEXT("Output video is not capturing. Please open the Windows > Viewports > Quarn Viewport, set the Viewport Type to Quarn Output and then Refresh"));
			}
			return;
		}
		if (ExpectedOutputs == 2 && !bKeyOutputCapturing)
		{
			if (ViewportSubsystem->HasViewportLayoutEntity(EQuarnMediaIOSignal::KeyOutput))
			{
				VideoStatus = MakeStatus(FLinearColor::Yellow,
					TEXT("Key output video is not capturing. Check the configuration in the video controller matches your required video format, and check the Output Log for additional information."));
			}
			else
			{
				VideoStatus = MakeStatus(FLinearColor::Red,
					TEXT("Output video is not capturing. Please open the Windows > Viewports > Key Viewport,  set the Viewport Type to Quarn Key Output and then Refresh"));
			}
			return;
		}
	}
	else
	{
		VideoInput = FQuarnStatus();
		VideoOutput = FQuarnStatus();
		const FString InputDescription = MediaModule.GetInputDescription();
		const FString OutputDescription = MediaModule.GetOutputDescription();
		VideoInput = DescribedStatus(InputDescription, TEXT("No valid input(s)"));
		VideoOutput = DescribedStatus(OutputDescription, TEXT("No valid output(s)"));
	}

	if (!FormatsMatch(InputFormat, OutputFormat) && !InputFormat.Equals(TEXT("No Input"), ESearchCase::IgnoreCase) && bCheckInputFormat && bCheckOutputFormat)
	{
		VideoStatus = MakeStatus(FLinearColor::Yellow,
			FString::Printf(TEXT("Input format (%s) does not match output format (%s)"), *InputFormat, *OutputFormat));
		return;
	}
	VideoStatus = MakeStatus(FLinearColor::Green, FString());
}
