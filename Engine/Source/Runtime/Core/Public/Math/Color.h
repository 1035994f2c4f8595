#pragma once

#include "Containers/UnrealString.h"

struct FColor;

/** A colour with float components, linear space. Equality is exact, component by component. */
struct CORE_API FLinearColor
{
	float R = 0.f;
	float G = 0.f;
	float B = 0.f;
	float A = 0.f;

	constexpr FLinearColor() = default;
	constexpr FLinearColor(float InR, float InG, float InB, float InA = 1.f)
		: R(InR)
		, G(InG)
		, B(InB)
		, A(InA)
	{
	}

	/** Decodes an 8-bit sRGB colour to linear (alpha is linear already). */
	explicit FLinearColor(const FColor& Color);

	/** Encodes to 8 bits: sRGB-encoded when bSRGB, else the linear values rounded. Clamped to [0, 1]. */
	FColor ToFColor(const bool bSRGB) const;
	/** The sRGB transfer function of one channel, [0, 1] to [0, 1]. */
	static float LinearToSRGB(float Linear);
	/** LinearToSRGB rounded to 8 bits, by table: exact, and cheap enough to call per pixel. */
	static uint8 LinearToSRGB8(float Linear);
	static float SRGBToLinear(float Encoded);

	FLinearColor operator*(float Scalar) const { return FLinearColor(R * Scalar, G * Scalar, B * Scalar, A * Scalar); }
	FLinearColor operator+(const FLinearColor& Other) const { return FLinearColor(R + Other.R, G + Other.G, B + Other.B, A + Other.A); }
	FLinearColor operator*(const FLinearColor& Other) const { return FLinearColor(R * Other.R, G * Other.G, B * Other.B, A * Other.A); }

	bool operator==(const FLinearColor& Other) const
	{
		return R == Other.R && G == Other.G && B == Other.B && A == Other.A;
	}
	bool operator!=(const FLinearColor& Other) const { return !(*this == Other); }
	bool Equals(const FLinearColor& Other, float Tolerance = 1.e-4f) const;
	FString ToString() const { return FString::Printf(TEXT("(R=%f,G=%f,B=%f,A=%f)"), R, G, B, A); }

	static const FLinearColor White;
	static const FLinearColor Black;
	static const FLinearColor Transparent;
	static const FLinearColor Red;
	static const FLinearColor Green;
	static const FLinearColor Blue;
	static const FLinearColor Yellow;
};

/** An 8-bit sRGB colour. */
struct CORE_API FColor
{
	uint8 B = 0;
	uint8 G = 0;
	uint8 R = 0;
	uint8 A = 0;

	constexpr FColor() = default;
	constexpr FColor(uint8 InR, uint8 InG, uint8 InB, uint8 InA = 255)
		: B(InB)
		, G(InG)
		, R(InR)
		, A(InA)
	{
	}
	/** Parses "RRGGBB", "RRGGBBAA", "RGB" or "RGBA", with or without a leading '#'; opaque white when it cannot. */
	static FColor FromHex(const FString& HexString);

	bool operator==(const FColor& Other) const { return R == Other.R && G == Other.G && B == Other.B && A == Other.A; }
	bool operator!=(const FColor& Other) const { return !(*this == Other); }
};
