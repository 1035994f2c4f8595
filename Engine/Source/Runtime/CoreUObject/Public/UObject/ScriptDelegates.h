#pragma once

#include "UObject/Object.h"

#include <functional>
#include <vector>

namespace UE::Delegates::Private
{
	/** "&UMyObject::OnPlay" -> "OnPlay", as the engine names a dynamic binding. */
	COREUOBJECT_API FName FunctionNameFromText(const TCHAR* Text);
}

/**
 * A Blueprint-assignable multicast delegate: bindings are (object, function name) pairs
 * that hold the object weakly; each pair is bound at most once.
 */
template <typename FuncType>
class TDynamicMulticastDelegate;

template <typename... ArgTypes>
class TDynamicMulticastDelegate<void(ArgTypes...)>
{
public:
	using FIsDynamicMulticast = void;

	template <typename UserClass>
	void __Internal_AddDynamic(UserClass* Object, void (UserClass::*Method)(ArgTypes...), const TCHAR* MethodText)
	{
		const FName Name = UE::Delegates::Private::FunctionNameFromText(MethodText);
		if (FCallTrace::IsActive())
		{
			FCallTrace::RecordBinding({.bBind = true, .Via = TEXT("AddDynamic"), .Delegate = this, .Object = Object, .RawObject = Object});
		}
		if (!Object || IsBoundTo(Object, Name))
		{
			return;
		}
		Bindings.push_back({TWeakObjectPtr<UObject>(Object), Name, [Method](UObject* Target, ArgTypes... Args) {
								(static_cast<UserClass*>(Target)->*Method)(Args...);
							}});
	}

	void RemoveAll(const void* Object)
	{
		std::erase_if(Bindings, [Object](const FBinding& Binding) { return Binding.Object.Get(true) == Object; });
	}
	void Clear() { Bindings.clear(); }
	bool IsBound() const
	{
		for (const FBinding& Binding : Bindings)
		{
			if (Binding.Object.IsValid())
			{
				return true;
			}
		}
		return false;
	}
	/** Calls every binding whose object is still valid, in the order they were added. */
	void Broadcast(ArgTypes... Args) const
	{
		const std::vector<FBinding> Snapshot = Bindings;
		for (const FBinding& Binding : Snapshot)
		{
			if (UObject* Target = Binding.Object.Get())
			{
				Binding.Invoke(Target, Args...);
			}
		}
	}

private:
	struct FBinding
	{
		TWeakObjectPtr<UObject> Object;
		FName FunctionName;
		std::function<void(UObject*, ArgTypes...)> Invoke;
	};

	bool IsBoundTo(const void* Object, const FName& Name) const
	{
		for (const FBinding& Binding : Bindings)
		{
			if (Binding.Object.Get(true) == Object && Binding.FunctionName == Name)
			{
				return true;
			}
		}
		return false;
	}

	std::vector<FBinding> Bindings;
};

#define AddDynamic(UserObject, FuncName) __Internal_AddDynamic(UserObject, FuncName, TEXT(#FuncName))

#define QUARN_DYNAMIC_MULTICAST_DELEGATE_CLASS(DelegateName, ...) \
	class DelegateName : public TDynamicMulticastDelegate<void(__VA_ARGS__)> \
	{ \
	public: \
		static UFunction* GetSignature(); \
	};

#define DECLARE_DYNAMIC_MULTICAST_DELEGATE(DelegateName) QUARN_DYNAMIC_MULTICAST_DELEGATE_CLASS(DelegateName)
#define DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(DelegateName, T1, P1) QUARN_DYNAMIC_MULTICAST_DELEGATE_CLASS(DelegateName, T1)
