#pragma once

#include "HAL/Platform.h"

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

template <typename ObjectType>
class TSharedRef;

/** The engine's nullable shared pointer, over a std::shared_ptr. */
template <typename ObjectType>
class TSharedPtr
{
public:
	TSharedPtr() = default;
	TSharedPtr(std::nullptr_t) {}
	template <typename OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedPtr(const TSharedPtr<OtherType>& Other)
		: Pointer(Other.ToStd())
	{
	}
	/** A shared reference converts to a pointer, as in the engine; the other way needs ToSharedRef(). */
	template <typename OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedPtr(const TSharedRef<OtherType>& Other)
		: Pointer(Other.ToStd())
	{
	}
	explicit TSharedPtr(std::shared_ptr<ObjectType> InPointer)
		: Pointer(std::move(InPointer))
	{
	}

	bool IsValid() const { return Pointer != nullptr; }
	explicit operator bool() const { return IsValid(); }
	ObjectType* Get() const { return Pointer.get(); }
	ObjectType* operator->() const { return Pointer.get(); }
	ObjectType& operator*() const { return *Pointer; }
	void Reset() { Pointer.reset(); }
	/** The pointer as a reference; the pointer must be valid. */
	TSharedRef<ObjectType> ToSharedRef() const;
	const std::shared_ptr<ObjectType>& ToStd() const { return Pointer; }
	bool operator==(const TSharedPtr& Other) const { return Pointer == Other.Pointer; }

private:
	std::shared_ptr<ObjectType> Pointer;
};

/**
 * The engine's never-null shared reference: no default, no null, no assignment from a
 * pointer. A TSharedPtr becomes one only through ToSharedRef(), which checks it.
 */
template <typename ObjectType>
class TSharedRef
{
public:
	template <typename OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedRef(const TSharedRef<OtherType>& Other)
		: Pointer(Other.ToStd())
	{
	}
	/** Takes ownership of a new object, which must not be null. */
	template <typename OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	explicit TSharedRef(OtherType* Object)
		: Pointer(Object)
	{
		check(Object != nullptr);
	}
	TSharedRef(std::nullptr_t) = delete;

	/** Always true: kept so code written for pointers reads the same. */
	bool IsValid() const { return true; }
	ObjectType* Get() const { return Pointer.get(); }
	ObjectType* operator->() const { return Pointer.get(); }
	ObjectType& operator*() const { return *Pointer; }
	const std::shared_ptr<ObjectType>& ToStd() const { return Pointer; }
	bool operator==(const TSharedRef& Other) const { return Pointer == Other.Pointer; }

private:
	template <typename OtherType>
	friend class TSharedPtr;
	template <typename OtherType, typename... ArgTypes>
	friend TSharedRef<OtherType> MakeShared(ArgTypes&&... Args);

	explicit TSharedRef(std::shared_ptr<ObjectType> InPointer)
		: Pointer(std::move(InPointer))
	{
		check(Pointer != nullptr);
	}

	std::shared_ptr<ObjectType> Pointer;
};

template <typename ObjectType>
TSharedRef<ObjectType> TSharedPtr<ObjectType>::ToSharedRef() const
{
	check(IsValid());
	return TSharedRef<ObjectType>(Pointer);
}

template <typename ObjectType, typename... ArgTypes>
TSharedRef<ObjectType> MakeShared(ArgTypes&&... Args)
{
	return TSharedRef<ObjectType>(std::make_shared<ObjectType>(std::forward<ArgTypes>(Args)...));
}
