#pragma once

#include "UObject/Object.h"

/** Points at an object without keeping it alive; resolves to null once the object is gone or garbage. */
template <typename T>
struct TWeakObjectPtr
{
	TWeakObjectPtr() = default;
	TWeakObjectPtr(std::nullptr_t) {}
	TWeakObjectPtr(const T* Object) { Set(Object); }
	template <typename OtherT>
	TWeakObjectPtr(const TWeakObjectPtr<OtherT>& Other)
		: ObjectIndex(Other.ObjectIndex)
		, SerialNumber(Other.SerialNumber)
	{
		static_assert(std::is_convertible_v<OtherT*, T*>);
	}

	TWeakObjectPtr& operator=(const T* Object)
	{
		Set(Object);
		return *this;
	}

	T* Get(bool bEvenIfGarbage = false) const
	{
		return static_cast<T*>(FUObjectArray::Resolve(ObjectIndex, SerialNumber, bEvenIfGarbage));
	}
	bool IsValid() const { return Get() != nullptr; }
	bool IsStale() const { return ObjectIndex != INDEX_NONE && Get(true) == nullptr; }
	void Reset()
	{
		ObjectIndex = INDEX_NONE;
		SerialNumber = 0;
	}
	T* operator->() const { return Get(); }
	T& operator*() const { return *Get(); }
	explicit operator bool() const { return IsValid(); }
	bool operator==(const TWeakObjectPtr& Other) const { return ObjectIndex == Other.ObjectIndex && SerialNumber == Other.SerialNumber; }
	bool operator!=(const TWeakObjectPtr& Other) const { return !(*this == Other); }

private:
	template <typename>
	friend struct TWeakObjectPtr;

	void Set(const T* Object)
	{
		const UObject* AsObject = Object;
		if (AsObject && AsObject->GetUniqueID() != INDEX_NONE)
		{
			ObjectIndex = AsObject->GetUniqueID();
			SerialNumber = FUObjectArray::GetSerialNumber(ObjectIndex);
		}
		else
		{
			Reset();
		}
	}

	int32 ObjectIndex = INDEX_NONE;
	int32 SerialNumber = 0;
};
