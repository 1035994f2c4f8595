#pragma once

#include "Containers/Array.h"
#include "HAL/Platform.h"
#include "Misc/CString.h"

#include <functional>
#include <string>
#include <string_view>

namespace ESearchCase
{
	enum Type
	{
		CaseSensitive,
		IgnoreCase,
	};
}

namespace ESearchDir
{
	enum Type
	{
		FromStart,
		FromEnd,
	};
}

/**
 * The engine's string. Comparisons with == ignore case, as the engine's do; Equals and
 * Compare take the case rule explicitly.
 */
class CORE_API FString
{
public:
	FString() = default;
	FString(const TCHAR* Str)
		: Data(Str ? Str : "")
	{
	}
	FString(const TCHAR* Str, int32 Count)
		: Data(Str ? std::string(Str, static_cast<SIZE_T>(Count)) : std::string())
	{
	}
	explicit FString(std::string Str)
		: Data(std::move(Str))
	{
	}
	explicit FString(std::string_view Str)
		: Data(Str)
	{
	}

	/** Formats like printf; pass FStrings as *Str. */
	static FString Printf(const TCHAR* Format, ...) __attribute__((format(printf, 1, 2)));

	const TCHAR* operator*() const { return Data.c_str(); }
	int32 Len() const { return static_cast<int32>(Data.size()); }
	bool IsEmpty() const { return Data.empty(); }
	void Empty() { Data.clear(); }
	void Reset() { Data.clear(); }
	void Reserve(int32 Count) { Data.reserve(static_cast<SIZE_T>(Count)); }
	TCHAR& operator[](int32 Index) { return Data[static_cast<SIZE_T>(Index)]; }
	TCHAR operator[](int32 Index) const { return Data[static_cast<SIZE_T>(Index)]; }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Len(); }

	bool Equals(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	int32 Compare(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	bool StartsWith(const FString& Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const FString& Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool Contains(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const
	{
		return Find(SubStr, SearchCase) != INDEX_NONE;
	}
	int32 Find(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
		ESearchDir::Type SearchDir = ESearchDir::FromStart, int32 StartPosition = INDEX_NONE) const;
	bool FindLastChar(TCHAR Character, int32& OutIndex) const;
	bool Split(const FString& Separator, FString* OutLeft, FString* OutRight,
		ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart) const;

	FString Left(int32 Count) const;
	FString LeftChop(int32 Count) const { return Left(Len() - Count); }
	FString RightChop(int32 Count) const { return Mid(Count); }
	FString Mid(int32 Start, int32 Count = 0x7fffffff) const;
	FString ToLower() const;
	FString TrimStartAndEnd() const;
	FString Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;

	/**
	 * Splits at every occurrence of Delimiter.
	 * @param bCullEmpty drop the empty parts (two delimiters in a row, or one at an end)
	 * @return the number of parts
	 */
	int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* Delimiter, bool bCullEmpty = true) const;
	/** True for an optional sign followed by digits with at most one decimal point. */
	bool IsNumeric() const;

	FString& Append(const FString& Other)
	{
		Data += Other.Data;
		return *this;
	}
	FString& AppendChar(TCHAR Character)
	{
		Data += Character;
		return *this;
	}
	FString& operator+=(const FString& Other) { return Append(Other); }
	FString& operator+=(const TCHAR* Other)
	{
		Data += Other;
		return *this;
	}
	FString& operator+=(TCHAR Character) { return AppendChar(Character); }
	friend FString operator+(const FString& A, const FString& B) { return FString(A.Data + B.Data); }
	friend FString operator+(const FString& A, const TCHAR* B) { return FString(A.Data + B); }
	friend FString operator+(const TCHAR* A, const FString& B) { return FString(A + B.Data); }

	// The engine's FString equality ignores case.
	friend bool operator==(const FString& A, const FString& B) { return A.Equals(B, ESearchCase::IgnoreCase); }
	friend bool operator==(const FString& A, const TCHAR* B) { return A.Equals(FString(B), ESearchCase::IgnoreCase); }
	friend bool operator!=(const FString& A, const FString& B) { return !(A == B); }
	friend bool operator!=(const FString& A, const TCHAR* B) { return !(A == B); }
	friend bool operator<(const FString& A, const FString& B) { return A.Compare(B, ESearchCase::IgnoreCase) < 0; }

	const std::string& ToStdString() const { return Data; }

	auto begin() { return Data.begin(); }
	auto end() { return Data.end(); }
	auto begin() const { return Data.begin(); }
	auto end() const { return Data.end(); }

private:
	std::string Data;
};

CORE_API uint32 GetTypeHash(const FString& String);
