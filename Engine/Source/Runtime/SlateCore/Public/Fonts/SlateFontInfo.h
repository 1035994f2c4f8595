#pragma once

#include "CoreMinimal.h"

/** Which face of the engine's font a text is drawn in, and how large. */
struct SLATECORE_API FSlateFontInfo
{
	/** Pixels per em. */
	int32 Size = 24;
	bool bBold = false;

	FSlateFontInfo() = default;
	explicit FSlateFontInfo(int32 InSize, bool bInBold = false)
		: Size(InSize)
		, bBold(bInBold)
	{
	}

	bool operator==(const FSlateFontInfo& Other) const { return Size == Other.Size && bBold == Other.bBold; }
	bool operator!=(const FSlateFontInfo& Other) const { return !(*this == Other); }
};
