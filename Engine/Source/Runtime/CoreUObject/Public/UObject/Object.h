#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectFlags.h"
#include "UObject/ObjectMacros.h"
#include "UObject/ReflectedTypeAccessors.h"
#include "UObject/UObjectBase.h"

class UClass;
class UFunction;
class FConfigCacheIni;
class FObjectInitializer;

/**
 * The base of every reflected object: a class, a name, an outer, flags and a slot in the
 * global object table through which weak pointers find it.
 */
class COREUOBJECT_API UObject
{
public:
	using ThisClass = UObject;

	UObject();
	explicit UObject(const FObjectInitializer& ObjectInitializer);
	virtual ~UObject();
	UObject(const UObject&) = delete;
	UObject& operator=(const UObject&) = delete;

	static UClass* StaticClass();

	UClass* GetClass() const { return ClassPrivate; }
	FName GetFName() const { return NamePrivate; }
	FString GetName() const { return NamePrivate.ToString(); }
	UObject* GetOuter() const { return OuterPrivate; }
	int32 GetUniqueID() const { return InternalIndex; }
	/** The object's own cycle counter. */
	TStatId GetStatID(bool /*bForDeferredUse*/ = false) const { return TStatId{this}; }

	bool IsA(const UClass* SomeBase) const;
	template <typename T>
	bool IsA() const
	{
		return IsA(T::StaticClass());
	}
	bool HasAnyFlags(EObjectFlags Flags) const { return (ObjectFlags & Flags) != 0; }
	/** True for class default objects and archetypes. */
	bool IsTemplate() const { return HasAnyFlags(static_cast<EObjectFlags>(RF_ClassDefaultObject | RF_ArchetypeObject)); }

	/** Marks the object as garbage: it stays in memory but is no longer valid, and the next collection destroys it. */
	void MarkAsGarbage();
	bool HasAnyInternalFlagsGarbage() const { return bGarbage; }

	/** Runs once a loaded asset's properties are set, before the loader hands the object out. */
	virtual void PostLoad() {}
	virtual void BeginDestroy() {}

	/**
	 * Writes the config properties into this class's configuration section and flushes the file.
	 * A value the layers below the file already give is not written (its key is removed).
	 * @param Flags which properties to write (config properties)
	 * @param Filename the file; when null, the saved file of the class's configuration name
	 *        (Saved/Config/<Name>.ini), also for default-config classes, as in the engine
	 */
	void SaveConfig(uint64 Flags = CPF_Config, const TCHAR* Filename = nullptr, FConfigCacheIni* Config = nullptr,
		bool bAllowCopyToDefaultObject = true);
	/**
	 * Writes the config properties into the project's Default<Name>.ini (or SpecificFileLocation),
	 * as the settings editor saves a default-config class; true when written.
	 */
	bool TryUpdateDefaultConfigFile(const FString& SpecificFileLocation = FString(), bool bWarnIfFail = true);
	/** The project's Config/Default<Name>.ini of the class's configuration name. */
	FString GetDefaultConfigFilename() const;
	/** The saved file the class reads over its layers: Saved/Config/<Name>.ini. */
	FString GetConfigFilename() const;

	UFunction* FindFunctionChecked(FName InName) const;
	/** Calls a reflected function with its parameter block; a Blueprint event without a native body does nothing. */
	virtual void ProcessEvent(UFunction* Function, void* Parms);

private:
	friend class FUObjectArray;
	friend struct FObjectConstruction;
	// Descriptors (classes, structs, enums, functions) are named once, when they are built.
	friend struct FDescriptorConstruction;
	// A class loads its default object's config when it makes it.
	friend class UClass;

	/** Reads the config properties from this class's configuration section. */
	void LoadConfig();

	UClass* ClassPrivate = nullptr;
	FName NamePrivate;
	UObject* OuterPrivate = nullptr;
	EObjectFlags ObjectFlags = RF_NoFlags;
	int32 InternalIndex = INDEX_NONE;
	bool bGarbage = false;
};

/** Non-null and not marked as garbage. */
inline bool IsValid(const UObject* Object)
{
	return Object && !Object->HasAnyInternalFlagsGarbage();
}

template <>
inline UClass* StaticClass<UObject>()
{
	return UObject::StaticClass();
}

#include "UObject/UObjectGlobals.h"
#include "UObject/ObjectPtr.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "UObject/ScriptDelegates.h"
#include "UObject/Class.h"
