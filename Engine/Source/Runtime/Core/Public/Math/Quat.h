#pragma once

#include "Math/Rotator.h"

/** Unit quaternion rotation. */
struct CORE_API FQuat
{
	double X = 0.0;
	double Y = 0.0;
	double Z = 0.0;
	double W = 1.0;

	constexpr FQuat() = default;
	constexpr FQuat(double InX, double InY, double InZ, double InW)
		: X(InX)
		, Y(InY)
		, Z(InZ)
		, W(InW)
	{
	}
	explicit FQuat(const FRotator& Rotator) { *this = Rotator.Quaternion(); }

	FRotator Rotator() const;
	/** (Roll, Pitch, Yaw) in degrees as X, Y, Z. */
	FVector Euler() const { return Rotator().Euler(); }
	static FQuat MakeFromEuler(const FVector& Euler) { return FRotator::MakeFromEuler(Euler).Quaternion(); }
	FQuat operator*(const FQuat& Q) const;
	bool Equals(const FQuat& Q, double Tolerance = UE_KINDA_SMALL_NUMBER) const;
	bool operator==(const FQuat& Q) const { return X == Q.X && Y == Q.Y && Z == Q.Z && W == Q.W; }

	static const FQuat Identity;
};
