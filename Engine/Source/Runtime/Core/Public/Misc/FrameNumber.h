#pragma once

#include "HAL/Platform.h"

/** A frame index on a timeline. */
struct FFrameNumber
{
	int32 Value = 0;

	constexpr FFrameNumber() = default;
	constexpr FFrameNumber(int32 InValue)
		: Value(InValue)
	{
	}
	bool operator==(const FFrameNumber& Other) const { return Value == Other.Value; }
	bool operator!=(const FFrameNumber& Other) const { return Value != Other.Value; }
	bool operator<(const FFrameNumber& Other) const { return Value < Other.Value; }
};
