#pragma once

#include "CoreMinimal.h"

/** Which font a text is drawn in, and how large. */
struct SLATECORE_API FSlateFontInfo
{
	/** Pixels per em. */
	int32 Size = 24;
	bool bBold = false;
	bool bItalic = false;
	/** An installed font family by name; empty is the engine's font (DejaVu Sans). */
	FString Family;

	FSlateFontInfo() = default;
	explicit FSlateFontInfo(int32 InSize, bool bInBold = false, bool bInItalic = false, const FString& InFamily = FString())
		: Size(InSize)
		, bBold(bInBold)
		, bItalic(bInItalic)
		, Family(InFamily)
	{
	}

	bool operator==(const FSlateFontInfo& Other) const
	{
		return Size == Other.Size && bBold == Other.bBold && bItalic == Other.bItalic && Family.Equals(Other.Family, ESearchCase::IgnoreCase);
	}
	bool operator!=(const FSlateFontInfo& Other) const { return !(*this == Other); }
};
