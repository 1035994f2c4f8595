#pragma once

#include "Containers/UnrealString.h"
#include "Math/UnrealMathUtility.h"

/** A 2D vector in double precision: screen positions and sizes in pixels. */
struct CORE_API FVector2D
{
	double X = 0.0;
	double Y = 0.0;

	constexpr FVector2D() = default;
	constexpr FVector2D(double InX, double InY)
		: X(InX)
		, Y(InY)
	{
	}

	FVector2D operator+(const FVector2D& V) const { return FVector2D(X + V.X, Y + V.Y); }
	FVector2D operator-(const FVector2D& V) const { return FVector2D(X - V.X, Y - V.Y); }
	FVector2D operator*(double Scale) const { return FVector2D(X * Scale, Y * Scale); }
	bool operator==(const FVector2D& V) const { return X == V.X && Y == V.Y; }
	bool operator!=(const FVector2D& V) const { return !(*this == V); }
	bool Equals(const FVector2D& V, double Tolerance = UE_KINDA_SMALL_NUMBER) const
	{
		return FMath::Abs(X - V.X) <= Tolerance && FMath::Abs(Y - V.Y) <= Tolerance;
	}
	FString ToString() const { return FString::Printf(TEXT("X=%3.3f Y=%3.3f"), X, Y); }

	static const FVector2D ZeroVector;
};
