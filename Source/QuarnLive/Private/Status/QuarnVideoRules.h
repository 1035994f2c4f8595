#pragma once

// The video leg's checks, in the order they apply: cards and formats, cameras, media assets,
// signals, and in the editor the output capture. Each takes the answers of the queries it judges.

#include "Status/QuarnStatusFinding.h"

namespace QuarnVideoRules
{
	QUARNLIVE_API FQuarnStatusFinding VideoCardsAreInstalled(bool bHasVideoCards);
	QUARNLIVE_API FQuarnStatusFinding MediaFormatsAreReadable(bool bReadable);
	QUARNLIVE_API FQuarnStatusFinding VPSettingsExist(bool bExist);

	/** Format names match ignoring case. */
	QUARNLIVE_API bool FormatsMatch(const FString& A, const FString& B);
	/** Rates match by value: 25/1 and 50/2 are the same rate. */
	QUARNLIVE_API bool FrameRatesMatch(const FFrameRate& A, const FFrameRate& B);

	/**
	 * @param bModeNeedsCameraPicture false in the graphics-only mode, where the input is not judged
	 * @param bCheckInputFormat false when the input format is tolerated as it is
	 */
	QUARNLIVE_API FQuarnStatusFinding InputFormatMatchesSettings(bool bModeNeedsCameraPicture, bool bCheckInputFormat, const FString& InputFormat, const FString& SettingsFormat);
	/** @param bCheckOutputFormat false when the output format is tolerated as it is */
	QUARNLIVE_API FQuarnStatusFinding OutputFormatMatchesSettings(bool bCheckOutputFormat, const FString& OutputFormat, const FString& SettingsFormat);

	QUARNLIVE_API FQuarnStatusFinding SomeCameraIsInTheScene(bool bFoundCameras, int32 NumValidCameras);
	/** Two cameras are still accepted; three are too many unless the mode needs no camera picture. */
	QUARNLIVE_API FQuarnStatusFinding CameraCountFitsMode(int32 NumValidCameras, bool bModeNeedsCameraPicture, const FString& ModeText);

	QUARNLIVE_API FQuarnStatusFinding MediaAssetsExist(bool bHasMediaAssets, const FString& ModeText);
	QUARNLIVE_API FQuarnStatusFinding VPEngineSubsystemExists(bool bExists);

	/** What the mode's media layout expects and what the media module has. */
	struct FQuarnVideoSignals
	{
		int32 ExpectedInputs = 0;
		int32 ExpectedOutputs = 0;
		int32 InputAssets = 0;
		int32 OutputAssets = 0;
		bool bInputPlaying = false;
		bool bKeyInputPlaying = false;
		bool bOutputCapturing = false;
		bool bKeyOutputCapturing = false;
	};

	QUARNLIVE_API FQuarnStatusFinding MediaAssetCountsMatchLayout(const FQuarnVideoSignals& Signals, const FString& ModeText);
	QUARNLIVE_API FQuarnStatusFinding InputsArePlaying(const FQuarnVideoSignals& Signals);
	QUARNLIVE_API FQuarnStatusFinding ViewportSubsystemExists(bool bExists);
	/** True when the layout expects an output (or, with Key, a key output) that is not capturing. */
	QUARNLIVE_API bool IsOutputMissing(const FQuarnVideoSignals& Signals);
	QUARNLIVE_API bool IsKeyOutputMissing(const FQuarnVideoSignals& Signals);
	/** @param bHasOutputViewport with a viewport in place the capture itself is at fault; without one, the operator is told how to make it */
	QUARNLIVE_API FQuarnStatus OutputNotCapturing(bool bHasOutputViewport);
	/** A key output at fault is a warning; a missing key viewport is an error. */
	QUARNLIVE_API FQuarnStatus KeyOutputNotCapturing(bool bHasKeyOutputViewport);

	/** A game run's detail status of one side: Red for the card's no-valid texts, Green otherwise, the description as message. */
	QUARNLIVE_API FQuarnStatus InputDescriptionStatus(const FString& Description);
	QUARNLIVE_API FQuarnStatus OutputDescriptionStatus(const FString& Description);

	/** The last word: input and output formats agree, unless a side is tolerated or there is no input. */
	QUARNLIVE_API FQuarnStatus FormatAgreementVerdict(const FString& InputFormat, const FString& OutputFormat, bool bCheckInputFormat, bool bCheckOutputFormat);
} // namespace QuarnVideoRules
