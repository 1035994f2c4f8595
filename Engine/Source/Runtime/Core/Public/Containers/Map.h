#pragma once

#include "Containers/Array.h"

#include <utility>

template <typename KeyType, typename ValueType>
struct TPair
{
	KeyType Key;
	ValueType Value;
};

/** A key-value map that keeps insertion order; lookups are linear, fine for the small maps the engine keeps. */
template <typename KeyType, typename ValueType>
class TMap
{
public:
	using ElementType = TPair<KeyType, ValueType>;

	ValueType& Add(const KeyType& Key, ValueType Value = ValueType())
	{
		if (ValueType* Existing = Find(Key))
		{
			*Existing = std::move(Value);
			return *Existing;
		}
		Pairs.Add(ElementType{Key, std::move(Value)});
		return Pairs.Last().Value;
	}
	ValueType& FindOrAdd(const KeyType& Key)
	{
		if (ValueType* Existing = Find(Key))
		{
			return *Existing;
		}
		return Add(Key);
	}
	ValueType* Find(const KeyType& Key)
	{
		ElementType* Pair = Pairs.FindByPredicate([&Key](const ElementType& Element) { return Element.Key == Key; });
		return Pair ? &Pair->Value : nullptr;
	}
	const ValueType* Find(const KeyType& Key) const
	{
		const ElementType* Pair = Pairs.FindByPredicate([&Key](const ElementType& Element) { return Element.Key == Key; });
		return Pair ? &Pair->Value : nullptr;
	}
	ValueType FindRef(const KeyType& Key) const
	{
		const ValueType* Value = Find(Key);
		return Value ? *Value : ValueType();
	}
	bool Contains(const KeyType& Key) const { return Find(Key) != nullptr; }
	int32 Remove(const KeyType& Key)
	{
		return Pairs.RemoveAll([&Key](const ElementType& Element) { return Element.Key == Key; });
	}
	int32 Num() const { return Pairs.Num(); }
	bool IsEmpty() const { return Pairs.IsEmpty(); }
	void Empty() { Pairs.Empty(); }
	void Reset() { Pairs.Reset(); }

	auto begin() { return Pairs.begin(); }
	auto end() { return Pairs.end(); }
	auto begin() const { return Pairs.begin(); }
	auto end() const { return Pairs.end(); }

private:
	TArray<ElementType> Pairs;
};
