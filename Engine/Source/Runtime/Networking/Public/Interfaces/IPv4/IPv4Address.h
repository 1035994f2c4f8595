#pragma once

#include "CoreMinimal.h"

/** An IPv4 address: four octets, A written first in dotted text. */
struct NETWORKING_API FIPv4Address
{
	uint8 A = 0;
	uint8 B = 0;
	uint8 C = 0;
	uint8 D = 0;

	constexpr FIPv4Address() = default;
	constexpr FIPv4Address(uint8 InA, uint8 InB, uint8 InC, uint8 InD)
		: A(InA)
		, B(InB)
		, C(InC)
		, D(InD)
	{
	}

	/** The four octets in decimal without leading zeros, joined by ".". */
	FString ToString() const;
	bool operator==(const FIPv4Address& Other) const { return A == Other.A && B == Other.B && C == Other.C && D == Other.D; }
	bool operator!=(const FIPv4Address& Other) const { return !(*this == Other); }

	static const FIPv4Address Any;
};
