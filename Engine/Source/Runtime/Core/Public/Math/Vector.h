#pragma once

#include "Containers/UnrealString.h"
#include "Math/UnrealMathUtility.h"

/** A 3D vector in double precision, centimetres in world space. */
struct CORE_API FVector
{
	double X = 0.0;
	double Y = 0.0;
	double Z = 0.0;

	constexpr FVector() = default;
	constexpr FVector(double InX, double InY, double InZ)
		: X(InX)
		, Y(InY)
		, Z(InZ)
	{
	}
	explicit constexpr FVector(double Value)
		: X(Value)
		, Y(Value)
		, Z(Value)
	{
	}

	FVector operator+(const FVector& V) const { return FVector(X + V.X, Y + V.Y, Z + V.Z); }
	FVector operator-(const FVector& V) const { return FVector(X - V.X, Y - V.Y, Z - V.Z); }
	FVector operator*(double Scale) const { return FVector(X * Scale, Y * Scale, Z * Scale); }
	FVector operator*(const FVector& V) const { return FVector(X * V.X, Y * V.Y, Z * V.Z); }
	bool operator==(const FVector& V) const { return X == V.X && Y == V.Y && Z == V.Z; }
	bool operator!=(const FVector& V) const { return !(*this == V); }
	bool Equals(const FVector& V, double Tolerance = UE_KINDA_SMALL_NUMBER) const
	{
		return FMath::Abs(X - V.X) <= Tolerance && FMath::Abs(Y - V.Y) <= Tolerance && FMath::Abs(Z - V.Z) <= Tolerance;
	}
	FString ToString() const { return FString::Printf(TEXT("X=%.3f Y=%.3f Z=%.3f"), X, Y, Z); }

	static const FVector ZeroVector;
	static const FVector OneVector;
};
