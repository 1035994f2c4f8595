#include "Containers/UnrealString.h"

#include "Misc/Char.h"
#include "Misc/VarArgs.h"

#include <cctype>
#include <cstdarg>
#include <cstring>

namespace
{
	bool CharsEqual(TCHAR A, TCHAR B, ESearchCase::Type SearchCase)
	{
		return SearchCase == ESearchCase::CaseSensitive ? A == B : FChar::ToLower(A) == FChar::ToLower(B);
	}

	bool MatchesAt(const std::string& Haystack, SIZE_T Position, const std::string& Needle, ESearchCase::Type SearchCase)
	{
		if (Position + Needle.size() > Haystack.size())
		{
			return false;
		}
		for (SIZE_T Index = 0; Index < Needle.size(); ++Index)
		{
			if (!CharsEqual(Haystack[Position + Index], Needle[Index], SearchCase))
			{
				return false;
			}
		}
		return true;
	}
} // namespace

FString FString::Printf(const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	std::string Result = FormatVarArgs(Format, Args);
	va_end(Args);
	return FString(std::move(Result));
}

bool FString::Equals(const FString& Other, ESearchCase::Type SearchCase) const
{
	return Len() == Other.Len() && Compare(Other, SearchCase) == 0;
}

int32 FString::Compare(const FString& Other, ESearchCase::Type SearchCase) const
{
	return SearchCase == ESearchCase::CaseSensitive ? std::strcmp(**this, *Other) : FCString::Stricmp(**this, *Other);
}

bool FString::StartsWith(const FString& Prefix, ESearchCase::Type SearchCase) const
{
	return !Prefix.IsEmpty() && MatchesAt(Data, 0, Prefix.Data, SearchCase);
}

bool FString::EndsWith(const FString& Suffix, ESearchCase::Type SearchCase) const
{
	return !Suffix.IsEmpty() && Suffix.Data.size() <= Data.size() && MatchesAt(Data, Data.size() - Suffix.Data.size(), Suffix.Data, SearchCase);
}

int32 FString::Find(const FString& SubStr, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir, int32 StartPosition) const
{
	if (SubStr.IsEmpty() || SubStr.Len() > Len())
	{
		return INDEX_NONE;
	}
	const int32 LastStart = Len() - SubStr.Len();
	if (SearchDir == ESearchDir::FromStart)
	{
		for (int32 Position = StartPosition == INDEX_NONE ? 0 : StartPosition; Position <= LastStart; ++Position)
		{
			if (MatchesAt(Data, static_cast<SIZE_T>(Position), SubStr.Data, SearchCase))
			{
				return Position;
			}
		}
		return INDEX_NONE;
	}
	const int32 First = StartPosition == INDEX_NONE ? LastStart : std::min(StartPosition - SubStr.Len(), LastStart);
	for (int32 Position = First; Position >= 0; --Position)
	{
		if (MatchesAt(Data, static_cast<SIZE_T>(Position), SubStr.Data, SearchCase))
		{
			return Position;
		}
	}
	return INDEX_NONE;
}

bool FString::FindLastChar(TCHAR Character, int32& OutIndex) const
{
	const SIZE_T Position = Data.rfind(Character);
	OutIndex = Position == std::string::npos ? INDEX_NONE : static_cast<int32>(Position);
	return OutIndex != INDEX_NONE;
}

bool FString::Split(const FString& Separator, FString* OutLeft, FString* OutRight, ESearchCase::Type SearchCase,
	ESearchDir::Type SearchDir) const
{
	const int32 Position = Find(Separator, SearchCase, SearchDir);
	if (Position == INDEX_NONE)
	{
		return false;
	}
	if (OutLeft)
	{
		*OutLeft = Left(Position);
	}
	if (OutRight)
	{
		*OutRight = Mid(Position + Separator.Len());
	}
	return true;
}

FString FString::Left(int32 Count) const
{
	return FString(Data.substr(0, static_cast<SIZE_T>(std::clamp(Count, 0, Len()))));
}

FString FString::Mid(int32 Start, int32 Count) const
{
	const int32 From = std::clamp(Start, 0, Len());
	const int64 End = std::min<int64>(static_cast<int64>(From) + std::max(Count, 0), Len());
	return FString(Data.substr(static_cast<SIZE_T>(From), static_cast<SIZE_T>(End - From)));
}

FString FString::ToLower() const
{
	FString Result = *this;
	for (TCHAR& Character : Result.Data)
	{
		Character = FChar::ToLower(Character);
	}
	return Result;
}

FString FString::TrimStartAndEnd() const
{
	SIZE_T Start = 0;
	SIZE_T End = Data.size();
	while (Start < End && FChar::IsWhitespace(Data[Start]))
	{
		++Start;
	}
	while (End > Start && FChar::IsWhitespace(Data[End - 1]))
	{
		--End;
	}
	return FString(Data.substr(Start, End - Start));
}

FString FString::Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase) const
{
	const std::string Needle = From ? From : "";
	if (Needle.empty())
	{
		return *this;
	}
	std::string Result;
	SIZE_T Position = 0;
	while (Position < Data.size())
	{
		if (MatchesAt(Data, Position, Needle, SearchCase))
		{
			Result += To;
			Position += Needle.size();
		}
		else
		{
			Result += Data[Position++];
		}
	}
	return FString(std::move(Result));
}

int32 FString::ParseIntoArray(TArray<FString>& OutArray, const TCHAR* Delimiter, bool bCullEmpty) const
{
	OutArray.Reset();
	const std::string Separator = Delimiter ? Delimiter : "";
	if (Separator.empty())
	{
		if (!bCullEmpty || !IsEmpty())
		{
			OutArray.Add(*this);
		}
		return OutArray.Num();
	}
	SIZE_T Start = 0;
	while (true)
	{
		const SIZE_T Position = Data.find(Separator, Start);
		const SIZE_T End = Position == std::string::npos ? Data.size() : Position;
		if (!bCullEmpty || End > Start)
		{
			OutArray.Add(FString(Data.substr(Start, End - Start)));
		}
		if (Position == std::string::npos)
		{
			break;
		}
		Start = Position + Separator.size();
	}
	return OutArray.Num();
}

bool FString::IsNumeric() const
{
	if (IsEmpty())
	{
		return false;
	}
	SIZE_T Position = (Data[0] == '-' || Data[0] == '+') ? 1 : 0;
	bool bSeenDot = false;
	bool bSeenDigit = false;
	for (; Position < Data.size(); ++Position)
	{
		const TCHAR Character = Data[Position];
		if (Character == '.')
		{
			if (bSeenDot)
			{
				return false;
			}
			bSeenDot = true;
		}
		else if (FChar::IsDigit(Character))
		{
			bSeenDigit = true;
		}
		else
		{
			return false;
		}
	}
	return bSeenDigit || bSeenDot;
}

uint32 GetTypeHash(const FString& String)
{
	uint32 Hash = 2166136261u;
	for (TCHAR Character : String)
	{
		Hash = (Hash ^ static_cast<uint8>(FChar::ToLower(Character))) * 16777619u;
	}
	return Hash;
}
