#pragma once

#include "UObject/UObjectGlobals.h"

#include <cstddef>
#include <type_traits>

/**
 * The engine's object pointer for reflected members. It converts to T* on its own, but a
 * static_cast to another class does not compile (the engine rejects it too): use Cast<>.
 */
template <typename T>
class TObjectPtr
{
public:
	TObjectPtr() = default;
	TObjectPtr(std::nullptr_t) {}
	template <typename U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0>
	TObjectPtr(U* InObject)
		: Object(InObject)
	{
	}
	template <typename U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0>
	TObjectPtr(const TObjectPtr<U>& Other)
		: Object(Other.Get())
	{
	}

	T* Get() const { return Object; }
	operator T*() const { return Object; }
	explicit operator bool() const { return Object != nullptr; }
	T* operator->() const { return Object; }
	T& operator*() const { return *Object; }

	friend bool operator==(const TObjectPtr& A, std::nullptr_t) { return A.Object == nullptr; }

private:
	T* Object = nullptr;
};

template <typename To, typename From>
To* Cast(const TObjectPtr<From>& Object)
{
	return Cast<To>(Object.Get());
}
