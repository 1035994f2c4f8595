#include "UObject/NameTypes.h"

#include "Misc/Char.h"

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace
{
	// Names are made on any thread (the network library's too), so the table is locked.
	struct FNameTable
	{
		std::mutex Lock;
		std::deque<std::string> Entries{"None"};
		std::unordered_map<std::string, uint32> ExactIndices{{"None", 0}};
		std::unordered_map<std::string, uint32> ComparisonIndices{{"none", 0}};

		uint32 Intern(const std::string& Text, std::unordered_map<std::string, uint32>& Indices)
		{
			const auto Found = Indices.find(Text);
			if (Found != Indices.end())
			{
				return Found->second;
			}
			Entries.push_back(Text);
			const uint32 Index = static_cast<uint32>(Entries.size() - 1);
			Indices.emplace(Text, Index);
			return Index;
		}
	};

	FNameTable& GetNameTable()
	{
		static FNameTable* Table = new FNameTable();
		return *Table;
	}

	std::string Lowered(const TCHAR* Name)
	{
		std::string Result = Name;
		for (TCHAR& Character : Result)
		{
			Character = FChar::ToLower(Character);
		}
		return Result;
	}
} // namespace

FName::FName(const TCHAR* Name)
{
	if (!Name || !*Name || FCString::Stricmp(Name, TEXT("None")) == 0)
	{
		return;
	}
	FNameTable& Table = GetNameTable();
	std::lock_guard<std::mutex> Guard(Table.Lock);
	DisplayIndex = Table.Intern(Name, Table.ExactIndices);
	ComparisonIndex = Table.Intern(Lowered(Name), Table.ComparisonIndices);
}

FString FName::ToString() const
{
	FNameTable& Table = GetNameTable();
	std::lock_guard<std::mutex> Guard(Table.Lock);
	return FString(Table.Entries[DisplayIndex]);
}

FString FName::NameToDisplayString(const FString& Name, bool bIsBool)
{
	FString Source = Name;
	if (bIsBool && Source.Len() > 1 && Source[0] == 'b' && FChar::ToUpper(Source[1]) == Source[1] && FChar::IsAlpha(Source[1]))
	{
		Source = Source.Mid(1);
	}
	FString Result;
	for (int32 Index = 0; Index < Source.Len(); ++Index)
	{
		const TCHAR Character = Source[Index];
		if (Character == '_')
		{
			Result += ' ';
			continue;
		}
		const bool bUpper = FChar::IsAlpha(Character) && FChar::ToUpper(Character) == Character;
		const bool bPreviousLower = Index > 0 && FChar::IsAlpha(Source[Index - 1]) && FChar::ToLower(Source[Index - 1]) == Source[Index - 1];
		const bool bNextLower = Index + 1 < Source.Len() && FChar::IsAlpha(Source[Index + 1]) && FChar::ToLower(Source[Index + 1]) == Source[Index + 1];
		const bool bPreviousUpper = Index > 0 && FChar::IsAlpha(Source[Index - 1]) && !bPreviousLower;
		const bool bDigitBoundary = Index > 0 && FChar::IsDigit(Character) != FChar::IsDigit(Source[Index - 1]) && FChar::IsDigit(Character);
		if (Index > 0 && !Result.EndsWith(TEXT(" ")) && ((bUpper && (bPreviousLower || (bPreviousUpper && bNextLower))) || bDigitBoundary))
		{
			Result += ' ';
		}
		Result += Index == 0 ? FChar::ToUpper(Character) : Character;
	}
	return Result;
}
