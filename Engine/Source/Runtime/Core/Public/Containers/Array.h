#pragma once

#include "HAL/Platform.h"

#include <algorithm>
#include <concepts>
#include <initializer_list>
#include <utility>
#include <vector>

/** The engine's dynamic array: contiguous, value semantics, int32 indices. */
template <typename InElementType>
class TArray
{
public:
	using ElementType = InElementType;

	TArray() = default;
	TArray(std::initializer_list<ElementType> Init)
		: Data(Init)
	{
	}
	TArray(const ElementType* Ptr, int32 Count)
		: Data(Ptr, Ptr + Count)
	{
	}

	int32 Num() const { return static_cast<int32>(Data.size()); }
	bool IsEmpty() const { return Data.empty(); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Num(); }
	ElementType* GetData() { return Data.data(); }
	const ElementType* GetData() const { return Data.data(); }

	ElementType& operator[](int32 Index)
	{
		check(IsValidIndex(Index));
		return Data[static_cast<SIZE_T>(Index)];
	}
	const ElementType& operator[](int32 Index) const
	{
		check(IsValidIndex(Index));
		return Data[static_cast<SIZE_T>(Index)];
	}

	ElementType& Last(int32 IndexFromTheEnd = 0) { return (*this)[Num() - IndexFromTheEnd - 1]; }
	const ElementType& Last(int32 IndexFromTheEnd = 0) const { return (*this)[Num() - IndexFromTheEnd - 1]; }

	int32 Add(const ElementType& Item)
	{
		Data.push_back(Item);
		return Num() - 1;
	}
	int32 Add(ElementType&& Item)
	{
		Data.push_back(std::move(Item));
		return Num() - 1;
	}
	template <typename... ArgsType>
	ElementType& Emplace_GetRef(ArgsType&&... Args)
	{
		return Data.emplace_back(std::forward<ArgsType>(Args)...);
	}
	ElementType& AddDefaulted_GetRef() { return Data.emplace_back(); }
	int32 AddUnique(const ElementType& Item)
	{
		const int32 Existing = Find(Item);
		return Existing != INDEX_NONE ? Existing : Add(Item);
	}
	void Append(const TArray& Other) { Data.insert(Data.end(), Other.Data.begin(), Other.Data.end()); }
	void Insert(const ElementType& Item, int32 Index) { Data.insert(Data.begin() + Index, Item); }
	ElementType Pop()
	{
		ElementType Result = std::move(Last());
		Data.pop_back();
		return Result;
	}

	/** Removes every element equal to Item; returns how many were removed. */
	int32 Remove(const ElementType& Item)
	{
		const SIZE_T Before = Data.size();
		Data.erase(std::remove(Data.begin(), Data.end(), Item), Data.end());
		return static_cast<int32>(Before - Data.size());
	}
	template <typename PredicateType>
	int32 RemoveAll(PredicateType Predicate)
	{
		const SIZE_T Before = Data.size();
		Data.erase(std::remove_if(Data.begin(), Data.end(), Predicate), Data.end());
		return static_cast<int32>(Before - Data.size());
	}
	void RemoveAt(int32 Index, int32 Count = 1)
	{
		check(Index >= 0 && Count >= 0 && Index + Count <= Num());
		Data.erase(Data.begin() + Index, Data.begin() + Index + Count);
	}
	void Empty(int32 Slack = 0)
	{
		Data.clear();
		if (Slack == 0)
		{
			Data.shrink_to_fit();
		}
		else
		{
			Data.reserve(static_cast<SIZE_T>(Slack));
		}
	}
	void Reset(int32 NewSize = 0)
	{
		Data.clear();
		Data.reserve(static_cast<SIZE_T>(NewSize));
	}
	void Reserve(int32 Count) { Data.reserve(static_cast<SIZE_T>(Count)); }
	void SetNum(int32 Count) { Data.resize(static_cast<SIZE_T>(Count)); }
	void Init(const ElementType& Value, int32 Count) { Data.assign(static_cast<SIZE_T>(Count), Value); }

	int32 Find(const ElementType& Item) const
	{
		const auto It = std::find(Data.begin(), Data.end(), Item);
		return It == Data.end() ? INDEX_NONE : static_cast<int32>(It - Data.begin());
	}
	bool Contains(const ElementType& Item) const { return Find(Item) != INDEX_NONE; }
	template <typename PredicateType>
	int32 IndexOfByPredicate(PredicateType Predicate) const
	{
		const auto It = std::find_if(Data.begin(), Data.end(), Predicate);
		return It == Data.end() ? INDEX_NONE : static_cast<int32>(It - Data.begin());
	}
	template <typename PredicateType>
	ElementType* FindByPredicate(PredicateType Predicate)
	{
		const auto It = std::find_if(Data.begin(), Data.end(), Predicate);
		return It == Data.end() ? nullptr : &*It;
	}
	template <typename PredicateType>
	const ElementType* FindByPredicate(PredicateType Predicate) const
	{
		const auto It = std::find_if(Data.begin(), Data.end(), Predicate);
		return It == Data.end() ? nullptr : &*It;
	}
	template <typename PredicateType>
	bool ContainsByPredicate(PredicateType Predicate) const
	{
		return IndexOfByPredicate(Predicate) != INDEX_NONE;
	}

	template <typename PredicateType>
	void StableSort(PredicateType Predicate)
	{
		std::stable_sort(Data.begin(), Data.end(), Predicate);
	}

	bool operator==(const TArray& Other) const
		requires std::equality_comparable<ElementType>
	{
		return Data == Other.Data;
	}

	auto begin() { return Data.begin(); }
	auto end() { return Data.end(); }
	auto begin() const { return Data.begin(); }
	auto end() const { return Data.end(); }

private:
	std::vector<ElementType> Data;
};
