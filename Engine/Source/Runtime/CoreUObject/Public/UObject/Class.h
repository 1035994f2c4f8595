#pragma once

#include "UObject/Object.h"
#include "UObject/UObjectGlobals.h"

class FProperty;
class UFunction;

enum class EPropertyKind : uint8
{
	Bool,
	Int8,
	Int16,
	Int32,
	Int64,
	Byte,
	UInt16,
	UInt32,
	UInt64,
	Float,
	Double,
	Str,
	Name,
	Text,
	Enum,
	Struct,
	Object,
	WeakObject,
	Class,
	Array,
	Delegate,
	MulticastDelegate,
	/** A type the reflection does not look into. */
	Opaque,
};

/** How a property's value is turned into text and back, and how an array property is walked. */
struct FPropertyValueOps
{
	void (*ExportText)(const FProperty& Property, const void* Value, FString& Out) = nullptr;
	/** False when Text is not a valid value of the property's type; the value is then unchanged. */
	bool (*ImportText)(const FProperty& Property, const TCHAR* Text, void* Value) = nullptr;
	bool (*Identical)(const void* A, const void* B) = nullptr;
	int32 (*ArrayNum)(const void* Array) = nullptr;
	void* (*ArrayElement)(void* Array, int32 Index) = nullptr;
	int32 (*ArrayAddDefaulted)(void* Array) = nullptr;
	void (*ArrayEmpty)(void* Array) = nullptr;
};

/** One reflected member: a class or struct property, or a function parameter. */
class COREUOBJECT_API FProperty
{
public:
	using FAccessFn = void* (*)(void* Container);

	FProperty(FName InName, FString InCppType, uint64 InFlags, FAccessFn InAccess);
	~FProperty();

	FName GetFName() const { return Name; }
	FString GetName() const { return Name.ToString(); }
	const FString& GetCPPType() const { return CppType; }
	EPropertyKind GetKind() const { return Kind; }
	uint64 GetPropertyFlags() const { return Flags; }
	bool HasAnyPropertyFlags(uint64 Mask) const { return (Flags & Mask) != 0; }
	bool HasAllPropertyFlags(uint64 Mask) const { return (Flags & Mask) == Mask; }

	bool HasMetaData(const FName& Key) const;
	/** The metadata value, or an empty string. */
	const FString& GetMetaData(const FName& Key) const;
	void SetMetaData(const FName& Key, const FString& Value);
	const TMap<FName, FString>& GetMetaDataMap() const { return MetaData; }
	/** The ToolTip metadata, as the editor shows it. */
	FText GetToolTipText() const { return FText::FromString(GetMetaData(TEXT("ToolTip"))); }
	/** The DisplayName metadata, or the name made readable as the details view makes it. */
	FText GetDisplayNameText() const;

	void* ContainerPtrToValuePtr(void* Container) const { return Access(Container); }
	const void* ContainerPtrToValuePtr(const void* Container) const { return Access(const_cast<void*>(Container)); }
	template <typename T>
	T* ContainerPtrToValuePtr(void* Container) const
	{
		return static_cast<T*>(Access(Container));
	}

	/** The value as text; structs and arrays in the engine's (A=1,B=2) form. */
	void ExportTextItem(FString& Out, const void* Value) const;
	bool ImportText(const TCHAR* Text, void* Value) const;
	bool Identical(const void* A, const void* B) const;

	/** For arrays: the element property. */
	FProperty* GetInner() const { return Inner; }
	UEnum* GetEnum() const { return EnumGetter ? EnumGetter() : nullptr; }
	UScriptStruct* GetStruct() const { return StructGetter ? StructGetter() : nullptr; }
	const FPropertyValueOps& GetOps() const { return Ops; }

	// Filled by the property traits when the property is made.
	EPropertyKind Kind = EPropertyKind::Opaque;
	FPropertyValueOps Ops;
	FProperty* Inner = nullptr;
	UEnum* (*EnumGetter)() = nullptr;
	UScriptStruct* (*StructGetter)() = nullptr;
	int32 ElementSize = 0;

private:
	FName Name;
	FString CppType;
	uint64 Flags;
	FAccessFn Access;
	TMap<FName, FString> MetaData;
};

/** Reflected fields share metadata. */
class COREUOBJECT_API UField : public UObject
{
public:
	static UClass* StaticClass();
	bool HasMetaData(const FName& Key) const { return MetaData.Contains(Key); }
	const FString& GetMetaData(const FName& Key) const;
	void SetMetaData(const FName& Key, const FString& Value) { MetaData.Add(Key, Value); }
	FText GetToolTipText() const { return FText::FromString(GetMetaData(TEXT("ToolTip"))); }
	const TMap<FName, FString>& GetMetaDataMap() const { return MetaData; }

private:
	TMap<FName, FString> MetaData;
};

/** A reflected type with properties: the base of classes, script structs and functions. */
class COREUOBJECT_API UStruct : public UField
{
public:
	~UStruct() override;
	static UClass* StaticClass();

	UStruct* GetSuperStruct() const { return SuperStruct; }
	bool IsChildOf(const UStruct* Base) const;
	/** This type's own properties, in declaration order. */
	const TArray<FProperty*>& GetOwnProperties() const { return Properties; }
	/** Own properties first, then the super type's, as the engine's field iterator walks them. */
	TArray<FProperty*> GetAllProperties() const;
	FProperty* FindPropertyByName(FName Name) const;
	/** "/Script/Module.Name". */
	FString GetStructPathName() const;
	const FString& GetPackageName() const { return Package; }

	// Set once by the code that builds the descriptor.
	UStruct* SuperStruct = nullptr;
	TArray<FProperty*> Properties;
	FString Package;
	int32 Size = 0;
};

/** A reflected USTRUCT. */
class COREUOBJECT_API UScriptStruct : public UStruct
{
public:
	static UClass* StaticClass();

	struct FCppStructOps
	{
		int32 Size = 0;
		void (*Construct)(void* Memory) = nullptr;
		void (*Destruct)(void* Memory) = nullptr;
		void (*Copy)(void* Dest, const void* Src) = nullptr;
	};
	FCppStructOps Ops;
	uint32 StructFlags = 0;
};

/** A reflected function: flags, metadata, parameters and the call thunk. */
class COREUOBJECT_API UFunction : public UStruct
{
public:
	static UClass* StaticClass();
	bool HasAnyFunctionFlags(uint32 Mask) const { return (FunctionFlags & Mask) != 0; }
	bool HasAllFunctionFlags(uint32 Mask) const { return (FunctionFlags & Mask) == Mask; }
	/** The parameters, in declaration order; the return value last, named ReturnValue. */
	const TArray<FProperty*>& GetParameters() const { return Properties; }
	/** Calls the native function on Context with a parameter block made by NewParms. */
	void Invoke(UObject* Context, void* Parms) const;
	void* NewParms() const;
	void DeleteParms(void* Parms) const;

	uint32 FunctionFlags = 0;
	void (*Thunk)(UObject* Context, void* Parms) = nullptr;
	void (*ConstructParms)(void* Memory) = nullptr;
	void (*DestructParms)(void* Memory) = nullptr;
	int32 ParmsSize = 0;
};

/** A reflected class. */
class COREUOBJECT_API UClass : public UStruct
{
public:
	static UClass* StaticClass();

	UClass* GetSuperClass() const { return static_cast<UClass*>(SuperStruct); }
	bool HasAnyClassFlags(uint32 Mask) const { return (ClassFlags & Mask) != 0; }
	/** The configuration name ("Game", "Engine"), or None when the class keeps no config. */
	FName GetConfigName() const { return ConfigName; }
	/** The class default object, created (and its config loaded) on first use. */
	UObject* GetDefaultObject(bool bCreateIfNeeded = true);
	UFunction* FindFunctionByName(FName Name, bool bIncludeSuper = true) const;
	const TArray<UFunction*>& GetOwnFunctions() const { return Functions; }
	/**
	 * While set, GetDefaultObject answers null, as for a class whose default object cannot
	 * be had; scenarios use it to take a settings object away.
	 */
	void SetDefaultObjectSuppressed(bool bSuppressed) { bDefaultObjectSuppressed = bSuppressed; }

	uint32 ClassFlags = 0;
	FName ConfigName;
	UObject* (*Factory)(const FObjectInitializer&) = nullptr;
	TArray<UFunction*> Functions;

private:
	// Shutting down destroys the default objects.
	friend void ShutdownUObject();

	/** Destroys the default object; the next request makes a new one. */
	void ResetDefaultObject();

	UObject* ClassDefaultObject = nullptr;
	bool bDefaultObjectSuppressed = false;
};

/** A reflected enumeration: names, values and display names. */
class COREUOBJECT_API UEnum : public UField
{
public:
	static UClass* StaticClass();

	int32 NumEnums() const { return Entries.Num(); }
	int64 GetValueByIndex(int32 Index) const { return Entries.IsValidIndex(Index) ? Entries[Index].Value : INDEX_NONE; }
	int32 GetIndexByValue(int64 Value) const;
	int32 GetIndexByNameString(const FString& Name) const;
	/** The short name ("Live"), or empty for an invalid index. */
	FString GetNameStringByIndex(int32 Index) const;
	FString GetNameStringByValue(int64 Value) const { return GetNameStringByIndex(GetIndexByValue(Value)); }
	/** The DisplayName metadata of the value, else its short name; empty for an unknown value. */
	FText GetDisplayNameTextByIndex(int32 Index) const;
	FText GetDisplayNameTextByValue(int64 Value) const { return GetDisplayNameTextByIndex(GetIndexByValue(Value)); }
	bool HasMetaData(const TCHAR* Key, int32 Index) const;
	FString GetMetaData(const TCHAR* Key, int32 Index) const;
	FString GetPackageName() const { return Package; }

	struct FEntry
	{
		FName Name;
		int64 Value;
		TMap<FName, FString> MetaData;
	};
	TArray<FEntry> Entries;
	FString Package;
};

/** Every reflected type compiled into the process, by kind. */
struct COREUOBJECT_API FReflectionRegistry
{
	static TArray<UClass*> GetAllClasses();
	static TArray<UScriptStruct*> GetAllStructs();
	static TArray<UEnum*> GetAllEnums();
	static TArray<UFunction*> GetAllDelegateSignatures();
	static UClass* FindClass(const FString& NameOrPath);
};
