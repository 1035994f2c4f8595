#include "Math/Color.h"
#include "Math/Transform.h"

const FLinearColor FLinearColor::White(1.f, 1.f, 1.f);
const FLinearColor FLinearColor::Gray(0.5f, 0.5f, 0.5f);
const FLinearColor FLinearColor::Black(0.f, 0.f, 0.f);
const FLinearColor FLinearColor::Transparent(0.f, 0.f, 0.f, 0.f);
const FLinearColor FLinearColor::Red(1.f, 0.f, 0.f);
const FLinearColor FLinearColor::Green(0.f, 1.f, 0.f);
const FLinearColor FLinearColor::Blue(0.f, 0.f, 1.f);
const FLinearColor FLinearColor::Yellow(1.f, 1.f, 0.f);

bool FLinearColor::Equals(const FLinearColor& Other, float Tolerance) const
{
	return FMath::Abs(R - Other.R) < Tolerance && FMath::Abs(G - Other.G) < Tolerance &&
		   FMath::Abs(B - Other.B) < Tolerance && FMath::Abs(A - Other.A) < Tolerance;
}

const FVector FVector::ZeroVector(0.0, 0.0, 0.0);
const FVector FVector::OneVector(1.0, 1.0, 1.0);
const FRotator FRotator::ZeroRotator(0.0, 0.0, 0.0);
const FQuat FQuat::Identity(0.0, 0.0, 0.0, 1.0);
const FTransform FTransform::Identity;

double FRotator::NormalizeAxis(double Angle)
{
	Angle = FMath::Fmod(Angle, 360.0);
	if (Angle < 0.0)
	{
		Angle += 360.0;
	}
	if (Angle > 180.0)
	{
		Angle -= 360.0;
	}
	return Angle;
}

bool FRotator::Equals(const FRotator& Other, double Tolerance) const
{
	return FMath::Abs(NormalizeAxis(Pitch - Other.Pitch)) <= Tolerance && FMath::Abs(NormalizeAxis(Yaw - Other.Yaw)) <= Tolerance &&
		   FMath::Abs(NormalizeAxis(Roll - Other.Roll)) <= Tolerance;
}

FQuat FRotator::Quaternion() const
{
	const double HalfRadians = UE_PI / 360.0;
	double SP, SY, SR, CP, CY, CR;
	FMath::SinCos(&SP, &CP, FMath::Fmod(Pitch, 360.0) * HalfRadians);
	FMath::SinCos(&SY, &CY, FMath::Fmod(Yaw, 360.0) * HalfRadians);
	FMath::SinCos(&SR, &CR, FMath::Fmod(Roll, 360.0) * HalfRadians);
	return FQuat(CR * SP * SY - SR * CP * CY, -CR * SP * CY - SR * CP * SY, CR * CP * SY - SR * SP * CY, CR * CP * CY + SR * SP * SY);
}

FRotator FQuat::Rotator() const
{
	const double SingularityTest = Z * X - W * Y;
	const double YawY = 2.0 * (W * Z + X * Y);
	const double YawX = 1.0 - 2.0 * (Y * Y + Z * Z);
	const double SingularityThreshold = 0.4999995;
	const double RadToDeg = 180.0 / UE_PI;
	FRotator Result;
	if (SingularityTest < -SingularityThreshold)
	{
		Result.Pitch = -90.0;
		Result.Yaw = FMath::Atan2(YawY, YawX) * RadToDeg;
		Result.Roll = FRotator::NormalizeAxis(-Result.Yaw - 2.0 * FMath::Atan2(X, W) * RadToDeg);
	}
	else if (SingularityTest > SingularityThreshold)
	{
		Result.Pitch = 90.0;
		Result.Yaw = FMath::Atan2(YawY, YawX) * RadToDeg;
		Result.Roll = FRotator::NormalizeAxis(Result.Yaw - 2.0 * FMath::Atan2(X, W) * RadToDeg);
	}
	else
	{
		Result.Pitch = FMath::Asin(2.0 * SingularityTest) * RadToDeg;
		Result.Yaw = FMath::Atan2(YawY, YawX) * RadToDeg;
		Result.Roll = FMath::Atan2(-2.0 * (W * X + Y * Z), 1.0 - 2.0 * (X * X + Y * Y)) * RadToDeg;
	}
	return Result;
}

FVector FQuat::RotateVector(const FVector& V) const
{
	// v' = v + 2w(q x v) + 2(q x (q x v))
	const FVector Q(X, Y, Z);
	const auto Cross = [](const FVector& A, const FVector& B) {
		return FVector(A.Y * B.Z - A.Z * B.Y, A.Z * B.X - A.X * B.Z, A.X * B.Y - A.Y * B.X);
	};
	const FVector T = Cross(Q, V) * 2.0;
	return V + T * W + Cross(Q, T);
}

FQuat FQuat::operator*(const FQuat& Q) const
{
	return FQuat(W * Q.X + X * Q.W + Y * Q.Z - Z * Q.Y, W * Q.Y - X * Q.Z + Y * Q.W + Z * Q.X, W * Q.Z + X * Q.Y - Y * Q.X + Z * Q.W,
		W * Q.W - X * Q.X - Y * Q.Y - Z * Q.Z);
}

bool FQuat::Equals(const FQuat& Q, double Tolerance) const
{
	const bool bSame = FMath::Abs(X - Q.X) <= Tolerance && FMath::Abs(Y - Q.Y) <= Tolerance && FMath::Abs(Z - Q.Z) <= Tolerance &&
					   FMath::Abs(W - Q.W) <= Tolerance;
	const bool bNegated = FMath::Abs(X + Q.X) <= Tolerance && FMath::Abs(Y + Q.Y) <= Tolerance && FMath::Abs(Z + Q.Z) <= Tolerance &&
						  FMath::Abs(W + Q.W) <= Tolerance;
	return bSame || bNegated;
}

FString FTransform::ToString() const
{
	const FRotator R = Rotator();
	return FString::Printf(TEXT("%f,%f,%f|%f,%f,%f|%f,%f,%f"), Translation.X, Translation.Y, Translation.Z, R.Pitch, R.Yaw, R.Roll,
		Scale3D.X, Scale3D.Y, Scale3D.Z);
}
