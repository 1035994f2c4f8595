#pragma once

// The vocabulary of the header tool's output. Generated .gen.cpp files include this
// header and build every descriptor through the functions below; nothing else in the
// engine depends on how a descriptor was made.

#include "CoreMinimal.h"
#include "UObject/Class.h"
#include "UObject/PropertyTraits.h"

#include <initializer_list>
#include <type_traits>

namespace UECodeGen
{
	struct FMetaDataPairParam
	{
		const TCHAR* Key;
		const TCHAR* Value;
	};
	using FMetaData = std::initializer_list<FMetaDataPairParam>;

	/** Returns the address of the member inside its container (object, struct or parameter block). */
	using FAccessFn = void* (*)(void* Container);

	/**
	 * A property whose kind comes from its C++ type T.
	 * @param CppType the declaration's type as written, for display
	 */
	template <typename T>
	FProperty* MakeProperty(const TCHAR* Name, const TCHAR* CppType, uint64 Flags, FAccessFn Access, FMetaData MetaData)
	{
		FProperty* Property = new FProperty(FName(Name), FString(CppType), Flags, Access);
		UE::Reflection::TPropertyTraits<std::remove_cv_t<T>>::Describe(*Property);
		for (const FMetaDataPairParam& Pair : MetaData)
		{
			Property->SetMetaData(FName(Pair.Key), FString(Pair.Value));
		}
		return Property;
	}

	/** Makes an object of class T; the factory the class descriptor keeps. */
	template <typename T>
	UObject* ConstructObject(const FObjectInitializer& Initializer)
	{
		if constexpr (std::is_abstract_v<T>)
		{
			return nullptr;
		}
		else if constexpr (std::is_constructible_v<T, const FObjectInitializer&>)
		{
			return new T(Initializer);
		}
		else
		{
			return new T();
		}
	}

	struct FFunctionParams
	{
		const TCHAR* Name;
		uint32 FunctionFlags;
		/** Calls the native function with the parameter block; null for Blueprint events. */
		void (*Thunk)(UObject* Context, void* Parms);
		int32 ParmsSize;
		void (*ConstructParms)(void* Memory);
		void (*DestructParms)(void* Memory);
		std::initializer_list<FProperty*> Parameters;
		FMetaData MetaData;
	};

	struct FClassParams
	{
		const TCHAR* Name; // without its prefix: "QuarnLiveSettings"
		const TCHAR* Package; // "/Script/QuarnLive"
		const TCHAR* ConfigName; // "Game", or nullptr when the class has no config= specifier
		uint32 ClassFlags;
		FMetaData MetaData;
	};

	/** Builds a class descriptor; T's Super is asked for its StaticClass() first. */
	COREUOBJECT_API UClass* ConstructClass(const FClassParams& Params, UClass* SuperClass, int32 Size,
		UObject* (*Factory)(const FObjectInitializer&), std::initializer_list<FProperty*> Properties,
		std::initializer_list<FFunctionParams> Functions);

	struct FStructParams
	{
		const TCHAR* Name; // without its prefix: "QuarnStatus"
		const TCHAR* Package;
		uint32 StructFlags;
		FMetaData MetaData;
	};

	template <typename T>
	UScriptStruct::FCppStructOps MakeStructOps()
	{
		UScriptStruct::FCppStructOps Ops;
		Ops.Size = sizeof(T);
		Ops.Construct = [](void* Memory) { new (Memory) T(); };
		Ops.Destruct = [](void* Memory) { static_cast<T*>(Memory)->~T(); };
		Ops.Copy = [](void* Dest, const void* Src) { *static_cast<T*>(Dest) = *static_cast<const T*>(Src); };
		return Ops;
	}

	COREUOBJECT_API UScriptStruct* ConstructStruct(const FStructParams& Params, UScriptStruct* SuperStruct,
		UScriptStruct::FCppStructOps Ops, std::initializer_list<FProperty*> Properties);

	struct FEnumeratorParam
	{
		const TCHAR* NameUTF8; // "EQuarnTrackingStatus::Lost"
		int64 Value;
		FMetaData MetaData; // DisplayName, ToolTip, Hidden...
	};

	struct FEnumParams
	{
		const TCHAR* Name; // "EQuarnTrackingStatus"
		const TCHAR* Package;
		FMetaData MetaData;
	};

	COREUOBJECT_API UEnum* ConstructEnum(const FEnumParams& Params, std::initializer_list<FEnumeratorParam> Enumerators);

	struct FDelegateSignatureParams
	{
		const TCHAR* Name; // "OnPlay__DelegateSignature"
		const TCHAR* Package;
		uint32 FunctionFlags; // FUNC_Delegate or FUNC_MulticastDelegate
		std::initializer_list<FProperty*> Parameters;
		FMetaData MetaData;
	};

	COREUOBJECT_API UFunction* ConstructDelegateSignature(const FDelegateSignatureParams& Params);

	/** Static registration: lets the object system find every compiled-in type of a module. */
	struct COREUOBJECT_API FRegisterCompiledInClass
	{
		explicit FRegisterCompiledInClass(UClass* (*InStaticClass)());
	};
	struct COREUOBJECT_API FRegisterCompiledInStruct
	{
		explicit FRegisterCompiledInStruct(UScriptStruct* (*InStaticStruct)());
	};
	struct COREUOBJECT_API FRegisterCompiledInEnum
	{
		explicit FRegisterCompiledInEnum(UEnum* (*InStaticEnum)());
	};
	struct COREUOBJECT_API FRegisterCompiledInDelegate
	{
		explicit FRegisterCompiledInDelegate(UFunction* (*InSignature)());
	};
} // namespace UECodeGen
