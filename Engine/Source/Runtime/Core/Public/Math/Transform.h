#pragma once

#include "Math/Quat.h"

/** Scale, then rotation, then translation. */
struct CORE_API FTransform
{
	constexpr FTransform() = default;
	FTransform(const FQuat& InRotation, const FVector& InTranslation, const FVector& InScale3D = FVector::OneVector)
		: Rotation(InRotation)
		, Translation(InTranslation)
		, Scale3D(InScale3D)
	{
	}
	FTransform(const FRotator& InRotation, const FVector& InTranslation, const FVector& InScale3D = FVector::OneVector)
		: Rotation(InRotation.Quaternion())
		, Translation(InTranslation)
		, Scale3D(InScale3D)
	{
	}
	explicit FTransform(const FVector& InTranslation)
		: Translation(InTranslation)
	{
	}

	const FQuat& GetRotation() const { return Rotation; }
	FRotator Rotator() const { return Rotation.Rotator(); }
	const FVector& GetTranslation() const { return Translation; }
	FVector GetLocation() const { return Translation; }
	const FVector& GetScale3D() const { return Scale3D; }
	void SetLocation(const FVector& InTranslation) { Translation = InTranslation; }
	bool Equals(const FTransform& Other, double Tolerance = UE_KINDA_SMALL_NUMBER) const
	{
		return Rotation.Equals(Other.Rotation, Tolerance) && Translation.Equals(Other.Translation, Tolerance) && Scale3D.Equals(Other.Scale3D, Tolerance);
	}
	FString ToString() const;

	static const FTransform Identity;

private:
	FQuat Rotation = FQuat(0.0, 0.0, 0.0, 1.0);
	FVector Translation = FVector(0.0, 0.0, 0.0);
	FVector Scale3D = FVector(1.0, 1.0, 1.0);
};
