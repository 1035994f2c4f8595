#pragma once

#include "UObject/Object.h"

#include <type_traits>

class UClass;

/** What a constructor needs to know about the object it builds. */
class COREUOBJECT_API FObjectInitializer
{
public:
	FObjectInitializer() = default;
	FObjectInitializer(UClass* InClass, UObject* InOuter, FName InName, EObjectFlags InFlags)
		: Class(InClass)
		, Outer(InOuter)
		, Name(InName)
		, Flags(InFlags)
	{
	}
	UClass* GetClass() const { return Class; }
	UObject* GetOuter() const { return Outer; }
	FName GetName() const { return Name; }
	/** The initializer of the object being constructed on this thread. */
	static const FObjectInitializer& Get();

private:
	friend struct FObjectConstruction;

	EObjectFlags GetFlags() const { return Flags; }

	UClass* Class = nullptr;
	UObject* Outer = nullptr;
	FName Name;
	EObjectFlags Flags = RF_NoFlags;
};

/** The global table of live objects, which weak pointers index. */
class COREUOBJECT_API FUObjectArray
{
public:
	/** The object at Index if its serial number still matches; garbage is returned only on request. */
	static UObject* Resolve(int32 Index, int32 SerialNumber, bool bEvenIfGarbage);
	static int32 GetSerialNumber(int32 Index);
	/** Calls Visitor for each live object, in creation order. */
	static void ForEachObject(const TFunction<void(UObject*)>& Visitor);

private:
	// Only construction and destruction of an object take and give back its slot.
	friend class UObject;
	friend struct FObjectConstruction;

	static int32 Allocate(UObject* Object, int32& OutSerialNumber);
	static void Free(int32 Index);
};

/** Creates an object of Class (or T) inside Outer; the name is made unique when none is given. */
COREUOBJECT_API UObject* StaticConstructObject(UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags = RF_NoFlags);

template <typename T>
T* NewObject(UObject* Outer = nullptr, UClass* Class = nullptr, FName Name = NAME_None, EObjectFlags Flags = RF_NoFlags)
{
	return static_cast<T*>(StaticConstructObject(Class ? Class : T::StaticClass(), Outer, Name, Flags));
}

/** How StaticLoadObject loads; the headless loader has no options. */
enum : uint32
{
	LOAD_None = 0,
};

/**
 * Loads the asset Name ("/Game/Folder/Asset" or "/Game/Folder/Asset.Asset") from its "<Asset>.uasset" file
 * (see FPackageName for the mounted roots and IAssetRegistry for the format). The object is created with
 * its file's class, named after the asset, its properties set from the file, then PostLoad runs. While it
 * lives, loading the same name again returns the same object.
 * Returns null, with one warning in LogUObjectGlobals, when the asset cannot be loaded or is not a Class.
 * Game thread only.
 * @param InOuter unused: an asset path names its object completely
 * @param Filename the file to read instead of the one the mounted root gives
 */
COREUOBJECT_API UObject* StaticLoadObject(
	UClass* Class, UObject* InOuter, const TCHAR* Name, const TCHAR* Filename = nullptr, uint32 LoadFlags = LOAD_None);

template <typename T>
T* GetMutableDefault()
{
	return static_cast<T*>(T::StaticClass()->GetDefaultObject());
}
template <typename T>
const T* GetDefault()
{
	return GetMutableDefault<T>();
}

template <typename To, typename From>
To* Cast(From* Object)
{
	if constexpr (std::is_base_of_v<To, From>)
	{
		return Object;
	}
	else
	{
		return Object && Object->IsA(To::StaticClass()) ? static_cast<To*>(Object) : nullptr;
	}
}
template <typename To, typename From>
To* CastChecked(From* Object)
{
	To* Result = Cast<To>(Object);
	check(Result);
	return Result;
}
template <typename To, typename From>
const To* Cast(const From* Object)
{
	return Cast<To>(const_cast<From*>(Object));
}

/** Starts the object system (the host does this once at boot). */
COREUOBJECT_API void InitUObject();
/** Destroys every object and stops the object system. */
COREUOBJECT_API void ShutdownUObject();
/** Destroys the objects marked as garbage. */
COREUOBJECT_API void CollectGarbage();

/** True while the editor saves a package. */
extern COREUOBJECT_API bool GIsSavingPackage;
/** True while the garbage collector runs. */
extern COREUOBJECT_API bool GIsGarbageCollecting;
/** Whether the object system is up: the answer UObjectInitialized() gives. */
extern COREUOBJECT_API bool GIsUObjectInitialized;
