#pragma once

#include "Containers/UnrealString.h"

/** A 128-bit identifier. */
struct CORE_API FGuid
{
	uint32 A = 0;
	uint32 B = 0;
	uint32 C = 0;
	uint32 D = 0;

	constexpr FGuid() = default;
	constexpr FGuid(uint32 InA, uint32 InB, uint32 InC, uint32 InD)
		: A(InA)
		, B(InB)
		, C(InC)
		, D(InD)
	{
	}

	static FGuid NewGuid();
	bool IsValid() const { return (A | B | C | D) != 0; }
	/** 32 hexadecimal digits, as the engine writes a GUID by default. */
	FString ToString() const;
	bool operator==(const FGuid& Other) const { return A == Other.A && B == Other.B && C == Other.C && D == Other.D; }
	bool operator!=(const FGuid& Other) const { return !(*this == Other); }
	bool operator<(const FGuid& Other) const
	{
		return A != Other.A ? A < Other.A : B != Other.B ? B < Other.B
			: C != Other.C                               ? C < Other.C
														 : D < Other.D;
	}
};

inline uint32 GetTypeHash(const FGuid& Guid) { return Guid.A ^ (Guid.B * 31u) ^ (Guid.C * 131u) ^ (Guid.D * 1031u); }
