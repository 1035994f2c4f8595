#include "Math/Color.h"
#include "Math/Transform.h"
#include "Math/Vector2D.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

const FLinearColor FLinearColor::White(1.f, 1.f, 1.f);
const FLinearColor FLinearColor::Black(0.f, 0.f, 0.f);
const FLinearColor FLinearColor::Transparent(0.f, 0.f, 0.f, 0.f);
const FLinearColor FLinearColor::Red(1.f, 0.f, 0.f);
const FLinearColor FLinearColor::Green(0.f, 1.f, 0.f);
const FLinearColor FLinearColor::Blue(0.f, 0.f, 1.f);
const FLinearColor FLinearColor::Yellow(1.f, 1.f, 0.f);

bool FLinearColor::Equals(const FLinearColor& Other, float Tolerance) const
{
	return FMath::Abs(R - Other.R) < Tolerance && FMath::Abs(G - Other.G) < Tolerance && FMath::Abs(B - Other.B) < Tolerance && FMath::Abs(A - Other.A) < Tolerance;
}

const FVector FVector::ZeroVector(0.0, 0.0, 0.0);
const FVector FVector::OneVector(1.0, 1.0, 1.0);
const FVector2D FVector2D::ZeroVector(0.0, 0.0);
const FQuat FQuat::Identity(0.0, 0.0, 0.0, 1.0);
const FTransform FTransform::Identity;

namespace
{
	constexpr double Pi = 3.1415926535897932;

	// An angle in degrees brought into (-180, 180].
	double NormalizeAxis(double Angle)
	{
		Angle = std::fmod(Angle, 360.0);
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
} // namespace

bool FRotator::Equals(const FRotator& Other, double Tolerance) const
{
	return FMath::Abs(NormalizeAxis(Pitch - Other.Pitch)) <= Tolerance && FMath::Abs(NormalizeAxis(Yaw - Other.Yaw)) <= Tolerance && FMath::Abs(NormalizeAxis(Roll - Other.Roll)) <= Tolerance;
}

FQuat FRotator::Quaternion() const
{
	const double HalfRadians = Pi / 360.0;
	const double PitchRadians = std::fmod(Pitch, 360.0) * HalfRadians;
	const double YawRadians = std::fmod(Yaw, 360.0) * HalfRadians;
	const double RollRadians = std::fmod(Roll, 360.0) * HalfRadians;
	const double SP = std::sin(PitchRadians), CP = std::cos(PitchRadians);
	const double SY = std::sin(YawRadians), CY = std::cos(YawRadians);
	const double SR = std::sin(RollRadians), CR = std::cos(RollRadians);
	return FQuat(CR * SP * SY - SR * CP * CY, -CR * SP * CY - SR * CP * SY, CR * CP * SY - SR * SP * CY, CR * CP * CY + SR * SP * SY);
}

FRotator FQuat::Rotator() const
{
	const double SingularityTest = Z * X - W * Y;
	const double YawY = 2.0 * (W * Z + X * Y);
	const double YawX = 1.0 - 2.0 * (Y * Y + Z * Z);
	const double SingularityThreshold = 0.4999995;
	const double RadToDeg = 180.0 / Pi;
	FRotator Result;
	if (SingularityTest < -SingularityThreshold)
	{
		Result.Pitch = -90.0;
		Result.Yaw = std::atan2(YawY, YawX) * RadToDeg;
		Result.Roll = NormalizeAxis(-Result.Yaw - 2.0 * std::atan2(X, W) * RadToDeg);
	}
	else if (SingularityTest > SingularityThreshold)
	{
		Result.Pitch = 90.0;
		Result.Yaw = std::atan2(YawY, YawX) * RadToDeg;
		Result.Roll = NormalizeAxis(Result.Yaw - 2.0 * std::atan2(X, W) * RadToDeg);
	}
	else
	{
		Result.Pitch = std::asin(2.0 * SingularityTest) * RadToDeg;
		Result.Yaw = std::atan2(YawY, YawX) * RadToDeg;
		Result.Roll = std::atan2(-2.0 * (W * X + Y * Z), 1.0 - 2.0 * (X * X + Y * Y)) * RadToDeg;
	}
	return Result;
}

FQuat FQuat::operator*(const FQuat& Q) const
{
	return FQuat(W * Q.X + X * Q.W + Y * Q.Z - Z * Q.Y, W * Q.Y - X * Q.Z + Y * Q.W + Z * Q.X, W * Q.Z + X * Q.Y - Y * Q.X + Z * Q.W,
		W * Q.W - X * Q.X - Y * Q.Y - Z * Q.Z);
}

bool FQuat::Equals(const FQuat& Q, double Tolerance) const
{
	const bool bSame = FMath::Abs(X - Q.X) <= Tolerance && FMath::Abs(Y - Q.Y) <= Tolerance && FMath::Abs(Z - Q.Z) <= Tolerance && FMath::Abs(W - Q.W) <= Tolerance;
	const bool bNegated = FMath::Abs(X + Q.X) <= Tolerance && FMath::Abs(Y + Q.Y) <= Tolerance && FMath::Abs(Z + Q.Z) <= Tolerance && FMath::Abs(W + Q.W) <= Tolerance;
	return bSame || bNegated;
}

FString FTransform::ToString() const
{
	const FRotator R = Rotator();
	return FString::Printf(TEXT("%f,%f,%f|%f,%f,%f|%f,%f,%f"), Translation.X, Translation.Y, Translation.Z, R.Pitch, R.Yaw, R.Roll,
		Scale3D.X, Scale3D.Y, Scale3D.Z);
}

namespace
{
	float Clamp01(float Value) { return Value < 0.f ? 0.f : (Value > 1.f ? 1.f : Value); }
	uint8 Quantize(float Unit) { return static_cast<uint8>(FMath::RoundToInt(Clamp01(Unit) * 255.f)); }

	// Decoding 8-bit sRGB is a lookup; the table is built once.
	const float* SRGBToLinearTable()
	{
		static const auto Table = [] {
			std::array<float, 256> Values{};
			for (int32 Index = 0; Index < 256; ++Index)
			{
				Values[Index] = FLinearColor::SRGBToLinear(Index / 255.f);
			}
			return Values;
		}();
		return Table.data();
	}

	int32 HexDigit(TCHAR Character)
	{
		if (Character >= '0' && Character <= '9')
		{
			return Character - '0';
		}
		if (Character >= 'a' && Character <= 'f')
		{
			return Character - 'a' + 10;
		}
		if (Character >= 'A' && Character <= 'F')
		{
			return Character - 'A' + 10;
		}
		return -1;
	}
} // namespace

float FLinearColor::LinearToSRGB(float Linear)
{
	Linear = Clamp01(Linear);
	return Linear <= 0.0031308f ? Linear * 12.92f : 1.055f * std::pow(Linear, 1.f / 2.4f) - 0.055f;
}

float FLinearColor::SRGBToLinear(float Encoded)
{
	Encoded = Clamp01(Encoded);
	return Encoded <= 0.04045f ? Encoded / 12.92f : std::pow((Encoded + 0.055f) / 1.055f, 2.4f);
}

uint8 FLinearColor::LinearToSRGB8(float Linear)
{
	// Thresholds[K] is the linear value from which the encoded value rounds to K + 1.
	static const auto Thresholds = [] {
		std::array<float, 256> Values{};
		for (int32 Code = 0; Code < 255; ++Code)
		{
			Values[Code] = SRGBToLinear((Code + 0.5f) / 255.f);
		}
		Values[255] = std::numeric_limits<float>::infinity();
		return Values;
	}();
	// The code at the start of each of 4096 slices of [0, 1]; a value lies at most a few codes above it.
	constexpr int32 Slices = 4096;
	static const auto SliceStarts = [] {
		std::array<uint8, Slices> Codes{};
		for (int32 Slice = 0; Slice < Slices; ++Slice)
		{
			const float Start = static_cast<float>(Slice) / Slices;
			Codes[Slice] = static_cast<uint8>(std::upper_bound(Thresholds.begin(), Thresholds.end() - 1, Start) - Thresholds.begin());
		}
		return Codes;
	}();
	if (!(Linear > 0.f))
	{
		return 0;
	}
	if (Linear >= 1.f)
	{
		return 255;
	}
	int32 Code = SliceStarts[static_cast<int32>(Linear * Slices)];
	while (Linear >= Thresholds[Code])
	{
		++Code;
	}
	return static_cast<uint8>(Code);
}

FLinearColor::FLinearColor(const FColor& Color)
	: R(SRGBToLinearTable()[Color.R])
	, G(SRGBToLinearTable()[Color.G])
	, B(SRGBToLinearTable()[Color.B])
	, A(Color.A / 255.f)
{
}

FColor FLinearColor::ToFColor(const bool bSRGB) const
{
	if (bSRGB)
	{
		return FColor(LinearToSRGB8(R), LinearToSRGB8(G), LinearToSRGB8(B), Quantize(A));
	}
	return FColor(Quantize(R), Quantize(G), Quantize(B), Quantize(A));
}

FColor FColor::FromHex(const FString& HexString)
{
	const FString Digits = HexString.StartsWith(TEXT("#")) ? HexString.RightChop(1) : HexString;
	const int32 Length = Digits.Len();
	if (Length != 3 && Length != 4 && Length != 6 && Length != 8)
	{
		return FColor(255, 255, 255, 255);
	}
	TArray<int32> Values;
	for (int32 Index = 0; Index < Length; ++Index)
	{
		const int32 Digit = HexDigit(Digits[Index]);
		if (Digit < 0)
		{
			return FColor(255, 255, 255, 255);
		}
		Values.Add(Digit);
	}
	auto Channel = [&](int32 Index) -> uint8 {
		if (Length <= 4)
		{
			return static_cast<uint8>(Values[Index] * 17);
		}
		return static_cast<uint8>(Values[Index * 2] * 16 + Values[Index * 2 + 1]);
	};
	const bool bHasAlpha = Length == 4 || Length == 8;
	return FColor(Channel(0), Channel(1), Channel(2), bHasAlpha ? Channel(3) : 255);
}
