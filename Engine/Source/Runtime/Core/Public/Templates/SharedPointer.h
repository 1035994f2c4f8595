#pragma once

#include <memory>
#include <utility>

/** The engine's shared pointer: a std::shared_ptr with the engine's names. */
template <typename ObjectType>
class TSharedPtr
{
public:
	TSharedPtr() = default;
	TSharedPtr(std::nullptr_t) {}
	template <typename OtherType>
	TSharedPtr(const TSharedPtr<OtherType>& Other)
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
	const std::shared_ptr<ObjectType>& ToStd() const { return Pointer; }
	bool operator==(const TSharedPtr& Other) const { return Pointer == Other.Pointer; }

private:
	std::shared_ptr<ObjectType> Pointer;
};

template <typename ObjectType>
using TSharedRef = TSharedPtr<ObjectType>;

template <typename ObjectType>
using TWeakPtr = std::weak_ptr<ObjectType>;

template <typename ObjectType, typename... ArgTypes>
TSharedPtr<ObjectType> MakeShared(ArgTypes&&... Args)
{
	return TSharedPtr<ObjectType>(std::make_shared<ObjectType>(std::forward<ArgTypes>(Args)...));
}

template <typename ObjectType, typename... ArgTypes>
TSharedPtr<ObjectType> MakeShareable(ObjectType* Object)
{
	return TSharedPtr<ObjectType>(std::shared_ptr<ObjectType>(Object));
}
