#pragma once

#include "HAL/Platform.h"

#include <algorithm>
#include <cmath>

#define UE_KINDA_SMALL_NUMBER (1.e-4)

struct FMath
{
	template <typename T>
	static constexpr T Clamp(T Value, T Min, T Max)
	{
		return Value < Min ? Min : (Value < Max ? Value : Max);
	}
	template <typename T>
	static constexpr T Max(T A, T B)
	{
		return A < B ? B : A;
	}
	template <typename T>
	static constexpr T Min(T A, T B)
	{
		return A < B ? A : B;
	}
	template <typename T>
	static constexpr T Abs(T Value)
	{
		return Value < T(0) ? -Value : Value;
	}
	static int32 RoundToInt(double Value) { return static_cast<int32>(std::floor(Value + 0.5)); }
};
