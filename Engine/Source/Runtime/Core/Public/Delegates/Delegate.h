#pragma once

#include "HAL/Platform.h"
#include "Misc/CallTrace.h"

#include <atomic>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

template <typename T>
struct TWeakObjectPtr;

/** Names one binding of a multicast delegate, for removal. */
class CORE_API FDelegateHandle
{
public:
	enum EGenerateNewHandleType
	{
		GenerateNewHandle
	};

	FDelegateHandle() = default;
	explicit FDelegateHandle(EGenerateNewHandleType);

	bool IsValid() const { return Id != 0; }
	void Reset() { Id = 0; }
	bool operator==(const FDelegateHandle& Other) const { return Id == Other.Id; }
	bool operator!=(const FDelegateHandle& Other) const { return Id != Other.Id; }

private:
	uint64 Id = 0;
};

namespace UE::Delegates::Private
{
	template <typename RetType, typename... ArgTypes>
	class IInstance
	{
	public:
		virtual ~IInstance() = default;
		/** False once the bound object is gone; the binding then lapses. */
		virtual bool IsSafeToExecute() const = 0;
		virtual RetType Execute(ArgTypes... Args) const = 0;
		/** The object or raw pointer the binding was made for; null for lambdas and statics. */
		virtual const void* GetBoundObject() const { return nullptr; }
	};

	template <typename UserClass, typename MethodType, typename RetType, typename... ArgTypes>
	class TUObjectInstance final : public IInstance<RetType, ArgTypes...>
	{
	public:
		TUObjectInstance(UserClass* InObject, MethodType InMethod)
			: Object(InObject)
			, RawObject(InObject)
			, Method(InMethod)
		{
		}
		bool IsSafeToExecute() const override { return Object.Get() != nullptr; }
		RetType Execute(ArgTypes... Args) const override { return (Object.Get()->*Method)(std::forward<ArgTypes>(Args)...); }
		const void* GetBoundObject() const override { return RawObject; }

	private:
		TWeakObjectPtr<std::remove_const_t<UserClass>> Object;
		const void* RawObject;
		MethodType Method;
	};

	template <typename UserClass, typename MethodType, typename RetType, typename... ArgTypes>
	class TRawInstance final : public IInstance<RetType, ArgTypes...>
	{
	public:
		TRawInstance(UserClass* InObject, MethodType InMethod)
			: Object(InObject)
			, Method(InMethod)
		{
		}
		bool IsSafeToExecute() const override { return true; }
		RetType Execute(ArgTypes... Args) const override { return (Object->*Method)(std::forward<ArgTypes>(Args)...); }
		const void* GetBoundObject() const override { return Object; }

	private:
		UserClass* Object;
		MethodType Method;
	};

	template <typename FunctorType, typename RetType, typename... ArgTypes>
	class TFunctorInstance final : public IInstance<RetType, ArgTypes...>
	{
	public:
		TFunctorInstance(FunctorType InFunctor, const void* InOwner)
			: Functor(std::move(InFunctor))
			, Owner(InOwner)
		{
		}
		bool IsSafeToExecute() const override { return true; }
		RetType Execute(ArgTypes... Args) const override { return Functor(std::forward<ArgTypes>(Args)...); }
		const void* GetBoundObject() const override { return Owner; }

	private:
		mutable FunctorType Functor;
		const void* Owner;
	};
} // namespace UE::Delegates::Private

template <typename FuncType>
class TDelegate;

/** A single-cast delegate: at most one binding, called with Execute. */
template <typename RetType, typename... ArgTypes>
class TDelegate<RetType(ArgTypes...)>
{
	using IInstance = UE::Delegates::Private::IInstance<RetType, ArgTypes...>;

public:
	TDelegate() = default;

	template <typename UserClass>
	static TDelegate CreateUObject(UserClass* Object, RetType (UserClass::*Method)(ArgTypes...))
	{
		return TDelegate(std::make_shared<UE::Delegates::Private::TUObjectInstance<UserClass, decltype(Method), RetType, ArgTypes...>>(Object, Method));
	}
	template <typename UserClass>
	static TDelegate CreateUObject(const UserClass* Object, RetType (UserClass::*Method)(ArgTypes...) const)
	{
		return TDelegate(std::make_shared<UE::Delegates::Private::TUObjectInstance<const UserClass, decltype(Method), RetType, ArgTypes...>>(Object, Method));
	}
	template <typename UserClass>
	static TDelegate CreateRaw(UserClass* Object, RetType (UserClass::*Method)(ArgTypes...))
	{
		return TDelegate(std::make_shared<UE::Delegates::Private::TRawInstance<UserClass, decltype(Method), RetType, ArgTypes...>>(Object, Method));
	}
	template <typename UserClass>
	static TDelegate CreateRaw(const UserClass* Object, RetType (UserClass::*Method)(ArgTypes...) const)
	{
		return TDelegate(std::make_shared<UE::Delegates::Private::TRawInstance<const UserClass, decltype(Method), RetType, ArgTypes...>>(Object, Method));
	}
	template <typename FunctorType>
	static TDelegate CreateLambda(FunctorType&& Functor)
	{
		return TDelegate(std::make_shared<UE::Delegates::Private::TFunctorInstance<std::decay_t<FunctorType>, RetType, ArgTypes...>>(
			std::forward<FunctorType>(Functor), nullptr));
	}

	template <typename UserClass, typename MethodType>
	void BindRaw(UserClass* Object, MethodType Method)
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::RecordBinding({.bBind = true, .Via = TEXT("BindRaw"), .Delegate = this, .RawObject = Object});
		}
		*this = CreateRaw(Object, Method);
	}
	void Unbind() { Instance.reset(); }

	bool IsBound() const { return Instance && Instance->IsSafeToExecute(); }
	bool IsBoundToObject(const void* Object) const { return Instance && Object && Instance->GetBoundObject() == Object; }
	const void* GetBoundObject() const { return Instance ? Instance->GetBoundObject() : nullptr; }

	RetType Execute(ArgTypes... Args) const
	{
		check(IsBound());
		return Instance->Execute(std::forward<ArgTypes>(Args)...);
	}

private:
	explicit TDelegate(std::shared_ptr<IInstance> InInstance)
		: Instance(std::move(InInstance))
	{
	}

	std::shared_ptr<IInstance> Instance;
};

template <typename FuncType>
class TMulticastDelegate;

/**
 * A multicast delegate. Broadcast calls the bindings in reverse order of adding, as the
 * engine does; bindings added during a broadcast wait for the next one, bindings removed
 * during it are not called. Object-bound bindings lapse with their object.
 */
template <typename... ArgTypes>
class TMulticastDelegate<void(ArgTypes...)>
{
public:
	using FDelegate = TDelegate<void(ArgTypes...)>;

	TMulticastDelegate() = default;
	TMulticastDelegate(const TMulticastDelegate&) = default;
	TMulticastDelegate& operator=(const TMulticastDelegate&) = default;

	FDelegateHandle Add(const FDelegate& Delegate)
	{
		FDelegateHandle Handle(FDelegateHandle::GenerateNewHandle);
		Entries.push_back({Delegate, Handle});
		return Handle;
	}
	template <typename UserClass, typename MethodType>
	FDelegateHandle AddUObject(UserClass* Object, MethodType Method)
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::RecordBinding(
				{.bBind = true, .Via = TEXT("AddUObject"), .Delegate = this, .Object = static_cast<const UObject*>(Object), .RawObject = Object});
		}
		return Add(FDelegate::CreateUObject(Object, Method));
	}
	template <typename FunctorType>
	FDelegateHandle AddLambda(FunctorType&& Functor)
	{
		return Add(FDelegate::CreateLambda(std::forward<FunctorType>(Functor)));
	}

	bool Remove(FDelegateHandle Handle)
	{
		for (FEntry& Entry : Entries)
		{
			if (Entry.Handle.IsValid() && Entry.Handle == Handle)
			{
				Unset(Entry);
				CompactIfIdle();
				return true;
			}
		}
		return false;
	}
	/** Removes every binding made for Object; returns how many. */
	int32 RemoveAll(const void* Object)
	{
		int32 Removed = 0;
		for (FEntry& Entry : Entries)
		{
			if (Object && Entry.Handle.IsValid() && Entry.Delegate.IsBoundToObject(Object))
			{
				Unset(Entry);
				++Removed;
			}
		}
		CompactIfIdle();
		if (FCallTrace::IsActive() && Object)
		{
			FCallTrace::RecordBinding({.bBind = false, .Via = TEXT("RemoveAll"), .Delegate = this, .RawObject = Object, .Removed = Removed});
		}
		return Removed;
	}
	void Clear()
	{
		for (FEntry& Entry : Entries)
		{
			Unset(Entry);
		}
		CompactIfIdle();
	}

	bool IsBound() const
	{
		for (const FEntry& Entry : Entries)
		{
			if (Entry.Handle.IsValid() && Entry.Delegate.IsBound())
			{
				return true;
			}
		}
		return false;
	}
	bool IsBoundToObject(const void* Object) const
	{
		for (const FEntry& Entry : Entries)
		{
			if (Entry.Handle.IsValid() && Entry.Delegate.IsBoundToObject(Object))
			{
				return true;
			}
		}
		return false;
	}
	/** Live bindings; lapsed and removed ones do not count. */
	int32 NumBindings() const
	{
		int32 Count = 0;
		for (const FEntry& Entry : Entries)
		{
			Count += (Entry.Handle.IsValid() && Entry.Delegate.IsBound()) ? 1 : 0;
		}
		return Count;
	}

	void Broadcast(ArgTypes... Args) const
	{
		++BroadcastDepth;
		const SIZE_T Count = Entries.size();
		for (SIZE_T Index = Count; Index-- > 0;)
		{
			// Copy: a listener may add bindings and reallocate the list.
			const FEntry Entry = Entries[Index];
			if (Entry.Handle.IsValid() && Entry.Delegate.IsBound())
			{
				Entry.Delegate.Execute(Args...);
			}
		}
		if (--BroadcastDepth == 0)
		{
			Compact();
		}
	}

private:
	struct FEntry
	{
		FDelegate Delegate;
		FDelegateHandle Handle;
	};

	static void Unset(FEntry& Entry)
	{
		Entry.Handle.Reset();
		Entry.Delegate.Unbind();
	}
	void CompactIfIdle()
	{
		if (BroadcastDepth == 0)
		{
			Compact();
		}
	}
	void Compact() const
	{
		std::erase_if(Entries, [](const FEntry& Entry) { return !Entry.Handle.IsValid() || !Entry.Delegate.IsBound(); });
	}

	mutable std::vector<FEntry> Entries;
	mutable int32 BroadcastDepth = 0;
};

#define FUNC_DECLARE_DELEGATE(DelegateName, ReturnType, ...) typedef TDelegate<ReturnType(__VA_ARGS__)> DelegateName;
#define FUNC_DECLARE_MULTICAST_DELEGATE(MulticastDelegateName, ReturnType, ...) \
	typedef TMulticastDelegate<ReturnType(__VA_ARGS__)> MulticastDelegateName;

#define DECLARE_DELEGATE_RetVal(ReturnValueType, DelegateName) FUNC_DECLARE_DELEGATE(DelegateName, ReturnValueType)

#define DECLARE_MULTICAST_DELEGATE(DelegateName) FUNC_DECLARE_MULTICAST_DELEGATE(DelegateName, void)
#define DECLARE_MULTICAST_DELEGATE_OneParam(DelegateName, Param1Type) FUNC_DECLARE_MULTICAST_DELEGATE(DelegateName, void, Param1Type)
#define DECLARE_MULTICAST_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) \
	FUNC_DECLARE_MULTICAST_DELEGATE(DelegateName, void, Param1Type, Param2Type)
