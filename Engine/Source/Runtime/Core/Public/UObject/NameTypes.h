#pragma once

#include "Containers/UnrealString.h"

enum EName
{
	NAME_None = 0,
};

/**
 * An interned name. Equality ignores letter case; each name keeps the spelling it was
 * made with for display, as the editor's case-preserving names do.
 */
class CORE_API FName
{
public:
	FName() = default;
	FName(EName) {}
	FName(const TCHAR* Name);
	explicit FName(const FString& Name)
		: FName(*Name)
	{
	}

	FString ToString() const;
	void ToString(FString& Out) const { Out = ToString(); }
	bool IsNone() const { return ComparisonIndex == 0; }
	bool IsValid() const { return true; }
	uint32 GetComparisonIndex() const { return ComparisonIndex; }

	bool operator==(const FName& Other) const { return ComparisonIndex == Other.ComparisonIndex; }
	bool operator!=(const FName& Other) const { return ComparisonIndex != Other.ComparisonIndex; }
	bool operator==(EName) const { return IsNone(); }
	/** Orders by comparison index: fast, stable within a run, not alphabetical. */

	/** "bMultiEngineMaster" -> "Multi Engine Master", as the details view shows property names. */
	static FString NameToDisplayString(const FString& Name, bool bIsBool);

private:
	uint32 ComparisonIndex = 0;
	uint32 DisplayIndex = 0;
};

inline uint32 GetTypeHash(const FName& Name) { return Name.GetComparisonIndex(); }
