#include "QuarnMediaEditorModule.h"

FQuarnMediaEditorModule& FQuarnMediaEditorModule::Get()
{
	return FModuleManager::GetModuleChecked<FQuarnMediaEditorModule>(TEXT("QuarnMediaEditor"));
}

bool FQuarnMediaEditorModule::HasVideoCards() const
{
	CountQuery(TEXT("HasVideoCards"));
	return State.bHasVideoCards;
}

bool FQuarnMediaEditorModule::GetMediaIOFormats(FString& OutInputFormat, FString& OutOutputFormat) const
{
	CountQuery(TEXT("GetMediaIOFormats"));
	if (!State.bFormatsReadable)
	{
		return false;
	}
	OutInputFormat = State.InputFormat;
	OutOutputFormat = State.OutputFormat;
	return true;
}

int32 FQuarnMediaEditorModule::GetInputFormatKind() const
{
	CountQuery(TEXT("GetInputFormatKind"));
	return State.InputFormatKind;
}

int32 FQuarnMediaEditorModule::GetOutputFormatKind() const
{
	CountQuery(TEXT("GetOutputFormatKind"));
	return State.OutputFormatKind;
}

FFrameRate FQuarnMediaEditorModule::GetInputFrameRate() const
{
	CountQuery(TEXT("GetInputFrameRate"));
	return State.InputFrameRate;
}

FFrameRate FQuarnMediaEditorModule::GetOutputFrameRate() const
{
	CountQuery(TEXT("GetOutputFrameRate"));
	return State.OutputFrameRate;
}

void FQuarnMediaEditorModule::GetMediaAssetCounts(int32& OutInputs, int32& OutOutputs) const
{
	CountQuery(TEXT("GetMediaAssetCounts"));
	OutInputs = State.NumInputAssets;
	OutOutputs = State.NumOutputAssets;
}

void FQuarnMediaEditorModule::GetSignalStates(bool& OutInputPlaying, bool& OutKeyInputPlaying, bool& OutOutputCapturing, bool& OutKeyOutputCapturing) const
{
	CountQuery(TEXT("GetSignalStates"));
	OutInputPlaying = State.bInputPlaying;
	OutKeyInputPlaying = State.bKeyInputPlaying;
	OutOutputCapturing = State.bOutputCapturing;
	OutKeyOutputCapturing = State.bKeyOutputCapturing;
}

FString FQuarnMediaEditorModule::GetInputDescription() const
{
	CountQuery(TEXT("GetInputDescription"));
	return State.InputDescription;
}

FString FQuarnMediaEditorModule::GetOutputDescription() const
{
	CountQuery(TEXT("GetOutputDescription"));
	return State.OutputDescription;
}

IMPLEMENT_MODULE(FQuarnMediaEditorModule, QuarnMediaEditor)
