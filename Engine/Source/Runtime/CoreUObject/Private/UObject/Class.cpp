#include "UObject/Class.h"

#include "UObject/GeneratedCodeHelpers.h"

#include <mutex>
#include <vector>

struct FDescriptorConstruction
{
	static void SetName(UObject& Descriptor, FName Name) { Descriptor.NamePrivate = Name; }
};

namespace
{
	struct FRegistry
	{
		std::vector<UClass* (*)()> Classes;
		std::vector<UScriptStruct* (*)()> Structs;
		std::vector<UEnum* (*)()> Enums;
		std::vector<UFunction* (*)()> Delegates;
	};

	FRegistry& GetRegistry()
	{
		static FRegistry* Registry = new FRegistry();
		return *Registry;
	}

	const FString& EmptyString()
	{
		static const FString Empty;
		return Empty;
	}

	/** Descriptors are objects too, but live outside the object table: they last for the process. */
	template <typename T>
	T* NewDescriptor(const TCHAR* Name, const FString& Package)
	{
		T* Descriptor = new T();
		FDescriptorConstruction::SetName(*Descriptor, FName(Name));
		Descriptor->Package = Package;
		return Descriptor;
	}

	UClass* MakeIntrinsicClass(const TCHAR* Name, UClass* Super, int32 Size, UObject* (*Factory)(const FObjectInitializer&))
	{
		UClass* Class = new UClass();
		FDescriptorConstruction::SetName(*Class, FName(Name));
		Class->Package = TEXT("/Script/CoreUObject");
		Class->SuperStruct = Super;
		Class->Size = Size;
		Class->Factory = Factory;
		Class->ClassFlags = CLASS_Native;
		return Class;
	}
} // namespace

void UObject::ProcessEvent(UFunction* Function, void* Parms)
{
	if (!Function)
	{
		return;
	}
	// No Blueprint graph runs headless: an event without a native thunk has nobody to call.
	if (Function->Thunk)
	{
		Function->Invoke(this, Parms);
	}
}

UClass* UObject::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Object"), nullptr, sizeof(UObject), &UECodeGen::ConstructObject<UObject>);
	return Class;
}
UClass* UField::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Field"), UObject::StaticClass(), sizeof(UField), nullptr);
	return Class;
}
UClass* UStruct::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Struct"), UField::StaticClass(), sizeof(UStruct), nullptr);
	return Class;
}
UClass* UScriptStruct::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("ScriptStruct"), UStruct::StaticClass(), sizeof(UScriptStruct), nullptr);
	return Class;
}
UClass* UFunction::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Function"), UStruct::StaticClass(), sizeof(UFunction), nullptr);
	return Class;
}
UClass* UClass::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Class"), UStruct::StaticClass(), sizeof(UClass), nullptr);
	return Class;
}
UClass* UEnum::StaticClass()
{
	static UClass* Class = MakeIntrinsicClass(TEXT("Enum"), UField::StaticClass(), sizeof(UEnum), nullptr);
	return Class;
}

FProperty::FProperty(FName InName, FString InCppType, uint64 InFlags, FAccessFn InAccess)
	: Name(InName)
	, CppType(std::move(InCppType))
	, Flags(InFlags)
	, Access(InAccess)
{
}

FProperty::~FProperty()
{
	delete Inner;
}

bool FProperty::HasMetaData(const FName& Key) const { return MetaData.Contains(Key); }

const FString& FProperty::GetMetaData(const FName& Key) const
{
	const FString* Value = MetaData.Find(Key);
	return Value ? *Value : EmptyString();
}

void FProperty::SetMetaData(const FName& Key, const FString& Value) { MetaData.Add(Key, Value); }

FText FProperty::GetDisplayNameText() const
{
	if (HasMetaData(TEXT("DisplayName")))
	{
		return FText::FromString(GetMetaData(TEXT("DisplayName")));
	}
	return FText::FromString(FName::NameToDisplayString(GetName(), Kind == EPropertyKind::Bool));
}

void FProperty::ExportTextItem(FString& Out, const void* Value) const
{
	if (Ops.ExportText)
	{
		Ops.ExportText(*this, Value, Out);
	}
}

bool FProperty::ImportText(const TCHAR* Text, void* Value) const
{
	return Ops.ImportText && Ops.ImportText(*this, Text, Value);
}

bool FProperty::Identical(const void* A, const void* B) const
{
	return Ops.Identical && Ops.Identical(A, B);
}

const FString& UField::GetMetaData(const FName& Key) const
{
	const FString* Value = MetaData.Find(Key);
	return Value ? *Value : EmptyString();
}

UStruct::~UStruct()
{
	for (FProperty* Property : Properties)
	{
		delete Property;
	}
}

bool UStruct::IsChildOf(const UStruct* Base) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->SuperStruct)
	{
		if (Struct == Base)
		{
			return true;
		}
	}
	return false;
}

TArray<FProperty*> UStruct::GetAllProperties() const
{
	TArray<FProperty*> Result;
	for (const UStruct* Struct = this; Struct; Struct = Struct->SuperStruct)
	{
		Result.Append(Struct->Properties);
	}
	return Result;
}

FProperty* UStruct::FindPropertyByName(FName Name) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->SuperStruct)
	{
		for (FProperty* Property : Struct->Properties)
		{
			if (Property->GetFName() == Name)
			{
				return Property;
			}
		}
	}
	return nullptr;
}

FString UStruct::GetStructPathName() const
{
	return Package + TEXT(".") + GetName();
}

void UFunction::Invoke(UObject* Context, void* Parms) const
{
	if (Thunk)
	{
		Thunk(Context, Parms);
	}
}

void* UFunction::NewParms() const
{
	void* Memory = ::operator new(static_cast<SIZE_T>(ParmsSize > 0 ? ParmsSize : 1));
	if (ConstructParms)
	{
		ConstructParms(Memory);
	}
	return Memory;
}

void UFunction::DeleteParms(void* Parms) const
{
	if (DestructParms)
	{
		DestructParms(Parms);
	}
	::operator delete(Parms);
}

UObject* UClass::GetDefaultObject(bool bCreateIfNeeded)
{
	if (!ClassDefaultObject && bCreateIfNeeded && !bDefaultObjectSuppressed)
	{
		ClassDefaultObject = StaticConstructObject(this, nullptr, FName(FString(TEXT("Default__")) + GetName()), RF_ClassDefaultObject);
		if (ClassDefaultObject && !ConfigName.IsNone())
		{
			ClassDefaultObject->LoadConfig();
		}
	}
	return bDefaultObjectSuppressed ? nullptr : ClassDefaultObject;
}

void UClass::ResetDefaultObject()
{
	delete ClassDefaultObject;
	ClassDefaultObject = nullptr;
}

UFunction* UClass::FindFunctionByName(FName Name, bool bIncludeSuper) const
{
	for (const UClass* Class = this; Class; Class = bIncludeSuper ? Class->GetSuperClass() : nullptr)
	{
		for (UFunction* Function : Class->Functions)
		{
			if (Function->GetFName() == Name)
			{
				return Function;
			}
		}
	}
	return nullptr;
}

int32 UEnum::GetIndexByValue(int64 Value) const
{
	return Entries.IndexOfByPredicate([Value](const FEntry& Entry) { return Entry.Value == Value; });
}

int32 UEnum::GetIndexByNameString(const FString& Name) const
{
	for (int32 Index = 0; Index < Entries.Num(); ++Index)
	{
		if (Entries[Index].Name.ToString() == Name || GetNameStringByIndex(Index) == Name)
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

FString UEnum::GetNameStringByIndex(int32 Index) const
{
	if (!Entries.IsValidIndex(Index))
	{
		return FString();
	}
	const FString Full = Entries[Index].Name.ToString();
	FString Short;
	return Full.Split(TEXT("::"), nullptr, &Short) ? Short : Full;
}

FText UEnum::GetDisplayNameTextByIndex(int32 Index) const
{
	if (HasMetaData(TEXT("DisplayName"), Index))
	{
		return FText::FromString(GetMetaData(TEXT("DisplayName"), Index));
	}
	return FText::FromString(GetNameStringByIndex(Index));
}

bool UEnum::HasMetaData(const TCHAR* Key, int32 Index) const
{
	return Entries.IsValidIndex(Index) && Entries[Index].MetaData.Contains(FName(Key));
}

FString UEnum::GetMetaData(const TCHAR* Key, int32 Index) const
{
	return Entries.IsValidIndex(Index) ? Entries[Index].MetaData.FindRef(FName(Key)) : FString();
}

TArray<UClass*> FReflectionRegistry::GetAllClasses()
{
	TArray<UClass*> Result;
	for (UClass* (*Get)() : GetRegistry().Classes)
	{
		Result.Add(Get());
	}
	return Result;
}

TArray<UScriptStruct*> FReflectionRegistry::GetAllStructs()
{
	TArray<UScriptStruct*> Result;
	for (UScriptStruct* (*Get)() : GetRegistry().Structs)
	{
		Result.Add(Get());
	}
	return Result;
}

TArray<UEnum*> FReflectionRegistry::GetAllEnums()
{
	TArray<UEnum*> Result;
	for (UEnum* (*Get)() : GetRegistry().Enums)
	{
		Result.Add(Get());
	}
	return Result;
}

TArray<UFunction*> FReflectionRegistry::GetAllDelegateSignatures()
{
	TArray<UFunction*> Result;
	for (UFunction* (*Get)() : GetRegistry().Delegates)
	{
		Result.Add(Get());
	}
	return Result;
}

UClass* FReflectionRegistry::FindClass(const FString& NameOrPath)
{
	for (UClass* Class : GetAllClasses())
	{
		if (Class->GetName() == NameOrPath || Class->GetStructPathName() == NameOrPath)
		{
			return Class;
		}
	}
	return nullptr;
}

namespace UECodeGen
{
	namespace
	{
		void ApplyMetaData(UField& Field, FMetaData MetaData)
		{
			for (const FMetaDataPairParam& Pair : MetaData)
			{
				Field.SetMetaData(FName(Pair.Key), FString(Pair.Value));
			}
		}

		UFunction* MakeFunction(const FFunctionParams& Params, const FString& Package)
		{
			UFunction* Function = NewDescriptor<UFunction>(Params.Name, Package);
			Function->FunctionFlags = Params.FunctionFlags;
			Function->Thunk = Params.Thunk;
			Function->ParmsSize = Params.ParmsSize;
			Function->ConstructParms = Params.ConstructParms;
			Function->DestructParms = Params.DestructParms;
			Function->Size = Params.ParmsSize;
			for (FProperty* Parameter : Params.Parameters)
			{
				Function->Properties.Add(Parameter);
			}
			ApplyMetaData(*Function, Params.MetaData);
			return Function;
		}
	} // namespace

	UClass* ConstructClass(const FClassParams& Params, UClass* SuperClass, int32 Size, UObject* (*Factory)(const FObjectInitializer&),
		std::initializer_list<FProperty*> Properties, std::initializer_list<FFunctionParams> Functions)
	{
		UClass* Class = NewDescriptor<UClass>(Params.Name, FString(Params.Package));
		Class->SuperStruct = SuperClass;
		Class->Size = Size;
		Class->Factory = Factory;
		Class->ClassFlags = Params.ClassFlags | (SuperClass ? SuperClass->ClassFlags & (CLASS_Config | CLASS_DefaultConfig) : 0);
		Class->ClassFlags &= (Params.ClassFlags & CLASS_Abstract) ? ~0u : ~static_cast<uint32>(CLASS_Abstract);
		Class->ConfigName = Params.ConfigName ? FName(Params.ConfigName) : (SuperClass ? SuperClass->ConfigName : FName());
		for (FProperty* Property : Properties)
		{
			Class->Properties.Add(Property);
		}
		for (const FFunctionParams& Function : Functions)
		{
			Class->Functions.Add(MakeFunction(Function, Class->Package));
		}
		ApplyMetaData(*Class, Params.MetaData);
		return Class;
	}

	UScriptStruct* ConstructStruct(const FStructParams& Params, UScriptStruct* SuperStruct, UScriptStruct::FCppStructOps Ops,
		std::initializer_list<FProperty*> Properties)
	{
		UScriptStruct* Struct = NewDescriptor<UScriptStruct>(Params.Name, FString(Params.Package));
		Struct->SuperStruct = SuperStruct;
		Struct->Ops = Ops;
		Struct->Size = Ops.Size;
		Struct->StructFlags = Params.StructFlags;
		for (FProperty* Property : Properties)
		{
			Struct->Properties.Add(Property);
		}
		ApplyMetaData(*Struct, Params.MetaData);
		return Struct;
	}

	UEnum* ConstructEnum(const FEnumParams& Params, std::initializer_list<FEnumeratorParam> Enumerators)
	{
		UEnum* Enum = new UEnum();
		FDescriptorConstruction::SetName(*Enum, FName(Params.Name));
		Enum->Package = Params.Package;
		for (const FEnumeratorParam& Enumerator : Enumerators)
		{
			UEnum::FEntry Entry{FName(Enumerator.NameUTF8), Enumerator.Value, {}};
			for (const FMetaDataPairParam& Pair : Enumerator.MetaData)
			{
				Entry.MetaData.Add(FName(Pair.Key), FString(Pair.Value));
			}
			Enum->Entries.Add(Entry);
		}
		ApplyMetaData(*Enum, Params.MetaData);
		return Enum;
	}

	UFunction* ConstructDelegateSignature(const FDelegateSignatureParams& Params)
	{
		FFunctionParams FunctionParams{Params.Name, Params.FunctionFlags, nullptr, 0, nullptr, nullptr, Params.Parameters, Params.MetaData};
		return MakeFunction(FunctionParams, FString(Params.Package));
	}

	FRegisterCompiledInClass::FRegisterCompiledInClass(UClass* (*InStaticClass)()) { GetRegistry().Classes.push_back(InStaticClass); }
	FRegisterCompiledInStruct::FRegisterCompiledInStruct(UScriptStruct* (*InStaticStruct)()) { GetRegistry().Structs.push_back(InStaticStruct); }
	FRegisterCompiledInEnum::FRegisterCompiledInEnum(UEnum* (*InStaticEnum)()) { GetRegistry().Enums.push_back(InStaticEnum); }
	FRegisterCompiledInDelegate::FRegisterCompiledInDelegate(UFunction* (*InSignature)()) { GetRegistry().Delegates.push_back(InSignature); }
} // namespace UECodeGen

#include "UObject/ScriptDelegates.h"

FName UE::Delegates::Private::FunctionNameFromText(const TCHAR* Text)
{
	const FString Full(Text);
	int32 Separator = Full.Find(TEXT("::"), ESearchCase::CaseSensitive, ESearchDir::FromEnd);
	return FName(Separator == INDEX_NONE ? Full.Replace(TEXT("&"), TEXT("")) : Full.Mid(Separator + 2));
}
