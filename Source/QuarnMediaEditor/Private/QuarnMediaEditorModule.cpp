#include "QuarnMediaEditorModule.h"

#include "Misc/CallTrace.h"

namespace
{
	void Trace(const TCHAR* Function, FCallTraceValue Result)
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnMediaEditor"), Function, {}, std::move(Result));
		}
	}

	FCallTraceValue RateValue(const FFrameRate& Rate)
	{
		return FCallTraceValue::Record({TEXT("Numerator"), TEXT("Denominator")}, {Rate.Numerator, Rate.Denominator});
	}
} // namespace

FQuarnMediaEditorModule& FQuarnMediaEditorModule::Get()
{
	return FModuleManager::GetModuleChecked<FQuarnMediaEditorModule>(TEXT("QuarnMediaEditor"));
}

bool FQuarnMediaEditorModule::HasVideoCards() const
{
	CountQuery(TEXT("HasVideoCards"));
	Trace(TEXT("IQuarnMediaEditorModule::HasVideoCards"), State.bHasVideoCards);
	return State.bHasVideoCards;
}

bool FQuarnMediaEditorModule::GetMediaIOFormats(FString& OutInputFormat, FString& OutOutputFormat) const
{
	CountQuery(TEXT("GetMediaIOFormats"));
	if (!State.bFormatsReadable)
	{
		Trace(TEXT("IQuarnMediaEditorModule::GetMediaIOFormats"), FCallTraceValue::Record({TEXT("ReturnValue")}, {false}));
		return false;
	}
	OutInputFormat = State.InputFormat;
	OutOutputFormat = State.OutputFormat;
	Trace(TEXT("IQuarnMediaEditorModule::GetMediaIOFormats"),
		FCallTraceValue::Record({TEXT("ReturnValue"), TEXT("OutInputFormat"), TEXT("OutOutputFormat")}, {true, OutInputFormat, OutOutputFormat}));
	return true;
}

int32 FQuarnMediaEditorModule::GetInputFormatKind() const
{
	CountQuery(TEXT("GetInputFormatKind"));
	Trace(TEXT("IQuarnMediaEditorModule::GetInputFormatKind"), State.InputFormatKind);
	return State.InputFormatKind;
}

int32 FQuarnMediaEditorModule::GetOutputFormatKind() const
{
	CountQuery(TEXT("GetOutputFormatKind"));
	Trace(TEXT("IQuarnMediaEditorModule::GetOutputFormatKind"), State.OutputFormatKind);
	return State.OutputFormatKind;
}

FFrameRate FQuarnMediaEditorModule::GetInputFrameRate() const
{
	CountQuery(TEXT("GetInputFrameRate"));
	Trace(TEXT("IQuarnMediaEditorModule::GetInputFrameRate"), RateValue(State.InputFrameRate));
	return State.InputFrameRate;
}

FFrameRate FQuarnMediaEditorModule::GetOutputFrameRate() const
{
	CountQuery(TEXT("GetOutputFrameRate"));
	Trace(TEXT("IQuarnMediaEditorModule::GetOutputFrameRate"), RateValue(State.OutputFrameRate));
	return State.OutputFrameRate;
}

void FQuarnMediaEditorModule::GetMediaAssetCounts(int32& OutInputs, int32& OutOutputs) const
{
	CountQuery(TEXT("GetMediaAssetCounts"));
	OutInputs = State.NumInputAssets;
	OutOutputs = State.NumOutputAssets;
	Trace(TEXT("IQuarnMediaEditorModule::GetMediaAssetCounts"), FCallTraceValue::Record({TEXT("OutInputs"), TEXT("OutOutputs")}, {OutInputs, OutOutputs}));
}

void FQuarnMediaEditorModule::GetSignalStates(bool& OutInputPlaying, bool& OutKeyInputPlaying, bool& OutOutputCapturing, bool& OutKeyOutputCapturing) const
{
	CountQuery(TEXT("GetSignalStates"));
	OutInputPlaying = State.bInputPlaying;
	OutKeyInputPlaying = State.bKeyInputPlaying;
	OutOutputCapturing = State.bOutputCapturing;
	OutKeyOutputCapturing = State.bKeyOutputCapturing;
	Trace(TEXT("IQuarnMediaEditorModule::GetSignalStates"),
		FCallTraceValue::Record({TEXT("OutInputPlaying"), TEXT("OutKeyInputPlaying"), TEXT("OutOutputCapturing"), TEXT("OutKeyOutputCapturing")},
			{OutInputPlaying, OutKeyInputPlaying, OutOutputCapturing, OutKeyOutputCapturing}));
}

FString FQuarnMediaEditorModule::GetInputDescription() const
{
	CountQuery(TEXT("GetInputDescription"));
	Trace(TEXT("IQuarnMediaEditorModule::GetInputDescription"), State.InputDescription);
	return State.InputDescription;
}

FString FQuarnMediaEditorModule::GetOutputDescription() const
{
	CountQuery(TEXT("GetOutputDescription"));
	Trace(TEXT("IQuarnMediaEditorModule::GetOutputDescription"), State.OutputDescription);
	return State.OutputDescription;
}

IMPLEMENT_MODULE(FQuarnMediaEditorModule, QuarnMediaEditor)
