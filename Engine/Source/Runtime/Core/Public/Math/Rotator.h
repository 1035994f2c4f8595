#pragma once

#include "Math/Vector.h"

struct FQuat;

/** Rotation in degrees: Pitch about Y, Yaw about Z, Roll about X. */
struct CORE_API FRotator
{
	double Pitch = 0.0;
	double Yaw = 0.0;
	double Roll = 0.0;

	constexpr FRotator() = default;
	constexpr FRotator(double InPitch, double InYaw, double InRoll)
		: Pitch(InPitch)
		, Yaw(InYaw)
		, Roll(InRoll)
	{
	}

	FQuat Quaternion() const;
	/** (Roll, Pitch, Yaw) as X, Y, Z. */
	FVector Euler() const { return FVector(Roll, Pitch, Yaw); }
	static FRotator MakeFromEuler(const FVector& Euler) { return FRotator(Euler.Y, Euler.Z, Euler.X); }
	bool Equals(const FRotator& Other, double Tolerance = UE_KINDA_SMALL_NUMBER) const;
	bool operator==(const FRotator& Other) const { return Pitch == Other.Pitch && Yaw == Other.Yaw && Roll == Other.Roll; }
	FString ToString() const { return FString::Printf(TEXT("P=%f Y=%f R=%f"), Pitch, Yaw, Roll); }
};
