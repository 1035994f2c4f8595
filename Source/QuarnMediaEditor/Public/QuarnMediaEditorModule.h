#pragma once

#include "CoreMinimal.h"
#include "IQuarnMediaEditorModule.h"

/** The video hardware and media assets that the module reports; tests and scenarios set it. */
struct FQuarnMediaEditorState
{
	bool bHasVideoCards = false;
	/** False when the formats cannot be read: GetMediaIOFormats fails. */
	bool bFormatsReadable = true;
	FString InputFormat;
	FString OutputFormat;
	int32 InputFormatKind = 0;
	int32 OutputFormatKind = 0;
	FFrameRate InputFrameRate = FFrameRate(25, 1);
	FFrameRate OutputFrameRate = FFrameRate(25, 1);
	int32 NumInputAssets = 0;
	int32 NumOutputAssets = 0;
	bool bInputPlaying = false;
	bool bKeyInputPlaying = false;
	bool bOutputCapturing = false;
	bool bKeyOutputCapturing = false;
	FString InputDescription;
	FString OutputDescription;
};

/**
 * The module object: answers the queries from State and counts each query by its
 * function name, so a test can tell which queries were made.
 */
class QUARNMEDIAEDITOR_API FQuarnMediaEditorModule : public IQuarnMediaEditorModule
{
public:
	/** The loaded module; it must be loaded. */
	static FQuarnMediaEditorModule& Get();

	bool HasVideoCards() const override;
	bool GetMediaIOFormats(FString& OutInputFormat, FString& OutOutputFormat) const override;
	int32 GetInputFormatKind() const override;
	int32 GetOutputFormatKind() const override;
	FFrameRate GetInputFrameRate() const override;
	FFrameRate GetOutputFrameRate() const override;
	void GetMediaAssetCounts(int32& OutInputs, int32& OutOutputs) const override;
	void GetSignalStates(bool& OutInputPlaying, bool& OutKeyInputPlaying, bool& OutOutputCapturing, bool& OutKeyOutputCapturing) const override;
	FString GetInputDescription() const override;
	FString GetOutputDescription() const override;

	/** How many times the query of that name ("HasVideoCards") was made since the last reset. */
	int32 GetQueryCount(FName QueryName) const { return QueryCounts.FindRef(QueryName); }
	void ResetQueryCounts() { QueryCounts.Empty(); }

	FQuarnMediaEditorState State;

private:
	void CountQuery(const TCHAR* QueryName) const { ++QueryCounts.FindOrAdd(FName(QueryName)); }

	mutable TMap<FName, int32> QueryCounts;
};
