// Video leg: cards, formats, cameras, media assets and signals.

#include "AssetRegistry/IAssetRegistry.h"
#include "IQuarnMediaEditorModule.h"
#include "Modules/ModuleManager.h"
#include "QuarnCamera.h"
#include "QuarnMediaLayout.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnViewportEditorSubsystem.h"
#include "Status/QuarnMediaFormatKind.h"
#include "Status/QuarnVideoRules.h"

using namespace QuarnVideoRules;
using QuarnStatusFinding::Report;

namespace
{
	// A card format of another kind at the project's frame rate is accepted as it is: it is
	// then compared neither with the settings nor with the other side. The card is asked only
	// as far as the conditions before each question hold.
	bool IsInputFormatTolerated(const UQuarnVirtualProductionSettings& Settings, const IQuarnMediaEditorModule& MediaModule)
	{
		return Settings.MediaFormatKind == QuarnMediaFormatKind::Interlaced && MediaModule.GetInputFormatKind() == QuarnMediaFormatKind::Progressive
			&& FrameRatesMatch(Settings.MediaFrameRate, MediaModule.GetInputFrameRate());
	}

	bool IsOutputFormatTolerated(const UQuarnVirtualProductionSettings& Settings, const IQuarnMediaEditorModule& MediaModule)
	{
		return Settings.MediaFormatKind == QuarnMediaFormatKind::Progressive && MediaModule.GetOutputFormatKind() == QuarnMediaFormatKind::Interlaced
			&& FrameRatesMatch(Settings.MediaFrameRate, MediaModule.GetOutputFrameRate());
	}

	int32 CountValidCameras(const TArray<TWeakObjectPtr<AQuarnCamera>>& Cameras)
	{
		int32 NumValidCameras = 0;
		for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
		{
			NumValidCameras += Camera.IsValid() ? 1 : 0;
		}
		return NumValidCameras;
	}

	bool HasMediaAssets()
	{
		const FString MediaAssetPath = FString(TEXT("/Game/")) + TEXT("Quarn/Media");
		return IAssetRegistry::GetChecked().HasAssets(FName(*MediaAssetPath), true);
	}

	FQuarnVideoSignals ReadMediaAssetCounts(const UQuarnVPEngineSubsystem& VPEngineSubsystem, const IQuarnMediaEditorModule& MediaModule)
	{
		FQuarnVideoSignals Signals;
		const UQuarnMediaLayout* MediaLayout = VPEngineSubsystem.GetModeMediaLayout();
		Signals.ExpectedInputs = MediaLayout->GetNumInputs();
		Signals.ExpectedOutputs = MediaLayout->GetNumOutputs();
		MediaModule.GetMediaAssetCounts(Signals.InputAssets, Signals.OutputAssets);
		return Signals;
	}

	void ReadSignalStates(FQuarnVideoSignals& Signals, const IQuarnMediaEditorModule& MediaModule)
	{
		MediaModule.GetSignalStates(Signals.bInputPlaying, Signals.bKeyInputPlaying, Signals.bOutputCapturing, Signals.bKeyOutputCapturing);
	}

	FQuarnStatusFinding OutputsAreCapturing(const FQuarnVideoSignals& Signals, const UQuarnViewportEditorSubsystem& ViewportSubsystem)
	{
		if (IsOutputMissing(Signals))
		{
			return OutputNotCapturing(ViewportSubsystem.HasViewportLayoutEntity(EQuarnMediaIOSignal::Output));
		}
		if (IsKeyOutputMissing(Signals))
		{
			return KeyOutputNotCapturing(ViewportSubsystem.HasViewportLayoutEntity(EQuarnMediaIOSignal::KeyOutput));
		}
		return QuarnStatusFinding::Passed();
	}
} // namespace

void UQuarnStatusSubsystem::UpdateVideoStatus()
{
	VideoStatus = FQuarnStatus();
	CachedModeText = GetModeAsString();
	const bool bModeNeedsCameraPicture = CachedMode != EQuarnVirtualProductionMode::GraphicsOnly;

	IQuarnMediaEditorModule& MediaModule = FModuleManager::LoadModuleChecked<IQuarnMediaEditorModule>(TEXT("QuarnMediaEditor"));
	FString InputFormat;
	FString OutputFormat;
	if (Report(VideoStatus, VideoCardsAreInstalled(MediaModule.HasVideoCards()))
		|| Report(VideoStatus, MediaFormatsAreReadable(MediaModule.GetMediaIOFormats(InputFormat, OutputFormat))))
	{
		return;
	}
	const UQuarnVirtualProductionSettings* Settings = GetDefault<UQuarnVirtualProductionSettings>();
	if (Report(VideoStatus, VPSettingsExist(Settings != nullptr)))
	{
		return;
	}

	const FString SettingsFormat = Settings->GetMediaFormatString();
	const bool bCheckInputFormat = !IsInputFormatTolerated(*Settings, MediaModule);
	if (Report(VideoStatus, InputFormatMatchesSettings(bModeNeedsCameraPicture, bCheckInputFormat, InputFormat, SettingsFormat)))
	{
		return;
	}
	const bool bCheckOutputFormat = !IsOutputFormatTolerated(*Settings, MediaModule);
	if (Report(VideoStatus, OutputFormatMatchesSettings(bCheckOutputFormat, OutputFormat, SettingsFormat)))
	{
		return;
	}

	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	const bool bFoundCameras = GetQuarnCameras(Cameras);
	const int32 NumValidCameras = CountValidCameras(Cameras);
	const bool bRunningAsGame = StaticGameCheck() == 1;
	if (Report(VideoStatus, SomeCameraIsInTheScene(bFoundCameras, NumValidCameras))
		|| Report(VideoStatus, CameraCountFitsMode(NumValidCameras, bModeNeedsCameraPicture, CachedModeText))
		|| (!bRunningAsGame && Report(VideoStatus, MediaAssetsExist(HasMediaAssets(), CachedModeText))))
	{
		return;
	}
	const UQuarnVPEngineSubsystem* VPEngineSubsystem = UQuarnVPEngineSubsystem::Get();
	if (Report(VideoStatus, VPEngineSubsystemExists(VPEngineSubsystem != nullptr)))
	{
		return;
	}

	FQuarnVideoSignals Signals = ReadMediaAssetCounts(*VPEngineSubsystem, MediaModule);
	if (Report(VideoStatus, MediaAssetCountsMatchLayout(Signals, CachedModeText)))
	{
		return;
	}
	ReadSignalStates(Signals, MediaModule);
	if (Report(VideoStatus, InputsArePlaying(Signals)))
	{
		return;
	}

	if (!bRunningAsGame)
	{
		const UQuarnViewportEditorSubsystem* ViewportSubsystem = UQuarnViewportEditorSubsystem::Get();
		if (Report(VideoStatus, ViewportSubsystemExists(ViewportSubsystem != nullptr))
			|| Report(VideoStatus, OutputsAreCapturing(Signals, *ViewportSubsystem)))
		{
			return;
		}
	}
	else
	{
		VideoInput = FQuarnStatus();
		VideoOutput = FQuarnStatus();
		VideoInput = InputDescriptionStatus(MediaModule.GetInputDescription());
		VideoOutput = OutputDescriptionStatus(MediaModule.GetOutputDescription());
	}

	VideoStatus = FormatAgreementVerdict(InputFormat, OutputFormat, bCheckInputFormat, bCheckOutputFormat);
}
