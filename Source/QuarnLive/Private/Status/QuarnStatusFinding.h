#pragma once

// What one check of a status leg finds. A leg runs its checks in order and the first check
// that finds something decides the leg's status.

#include "CoreMinimal.h"
#include "Misc/Optional.h"
#include "QuarnStatus.h"

/** The status a failing check reports; unset when the check passes. */
using FQuarnStatusFinding = TOptional<FQuarnStatus>;

namespace QuarnStatusFinding
{
	QUARNLIVE_API FQuarnStatus MakeStatus(const FLinearColor& Color, const FString& Message);

	inline FQuarnStatusFinding Red(const FString& Message) { return MakeStatus(FLinearColor::Red, Message); }
	inline FQuarnStatusFinding Yellow(const FString& Message) { return MakeStatus(FLinearColor::Yellow, Message); }
	inline FQuarnStatusFinding Passed() { return FQuarnStatusFinding(); }

	/** The first set finding, in the order given; the findings must come from checks without queries. */
	QUARNLIVE_API FQuarnStatusFinding First(const TArray<FQuarnStatusFinding>& Findings);

	/** Stores a finding in the leg's status; true when there was one, and the leg stops. */
	QUARNLIVE_API bool Report(FQuarnStatus& LegStatus, const FQuarnStatusFinding& Finding);
} // namespace QuarnStatusFinding
