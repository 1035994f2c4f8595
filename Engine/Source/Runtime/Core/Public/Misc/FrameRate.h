#pragma once

#include "Internationalization/Text.h"

/** A frame rate as a ratio of two integers (30000/1001 for 29.97). */
struct CORE_API FFrameRate
{
	int32 Numerator = 60;
	int32 Denominator = 1;

	constexpr FFrameRate() = default;
	constexpr FFrameRate(int32 InNumerator, int32 InDenominator)
		: Numerator(InNumerator)
		, Denominator(InDenominator)
	{
	}

	bool IsValid() const { return Denominator > 0; }
	double AsDecimal() const { return static_cast<double>(Numerator) / static_cast<double>(Denominator); }
	/** "30 fps", "29.97 fps", as the engine shows a rate to people. */
	FText ToPrettyText() const;
	bool operator==(const FFrameRate& Other) const { return Numerator == Other.Numerator && Denominator == Other.Denominator; }
	bool operator!=(const FFrameRate& Other) const { return !(*this == Other); }
};
