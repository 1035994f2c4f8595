#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "UObject/CallTraceObject.h"
#include "UObject/Class.h"
#include "UObject/Object.h"

namespace
{
	FString SectionOf(const UClass* Class)
	{
		return Class->GetStructPathName();
	}

	bool IsConfigProperty(const FProperty* Property, uint64 Flags)
	{
		return Property->HasAnyPropertyFlags(Flags & (CPF_Config | CPF_GlobalConfig)) && !Property->HasAnyPropertyFlags(CPF_Transient);
	}

	/**
	 * The file whose layered read is what lies below Filename: the class's Default file below
	 * its saved file, the engine's Base file below the Default file; empty for any other file.
	 */
	FString LowerLayerOf(const UClass* Class, const FString& Filename)
	{
		const FString Name = Class->GetConfigName().ToString();
		if (Filename == FConfigCacheIni::GetConfigFilename(Name, false))
		{
			return FConfigCacheIni::GetConfigFilename(Name, true);
		}
		if (Filename == FConfigCacheIni::GetConfigFilename(Name, true))
		{
			return FPaths::PluginDir() + TEXT("Engine/Config/Base") + Name + TEXT(".ini");
		}
		return FString();
	}

	/**
	 * Once a default-config class's values are in its Default file, its saved layer only loses
	 * those keys, so it cannot hide them. Writing this process's values there instead would undo
	 * a newer value that another writer put in the Default file meanwhile.
	 */
	void ForgetInSavedLayer(const UObject* Object, uint64 Flags, FConfigCacheIni* Cache)
	{
		const UClass* Class = Object->GetClass();
		const FString Filename = Object->GetConfigFilename();
		const FString Section = SectionOf(Class);
		for (FProperty* Property : Class->GetAllProperties())
		{
			if (IsConfigProperty(Property, Flags))
			{
				Cache->RemoveKey(*Section, *Property->GetName(), Filename);
			}
		}
		Cache->Flush(false, Filename);
	}

	bool SameLines(const TArray<FString>& A, const TArray<FString>& B)
	{
		if (A.Num() != B.Num())
		{
			return false;
		}
		for (int32 Index = 0; Index < A.Num(); ++Index)
		{
			if (!A[Index].Equals(B[Index], ESearchCase::CaseSensitive))
			{
				return false;
			}
		}
		return true;
	}
} // namespace

FString UObject::GetDefaultConfigFilename() const
{
	UClass* Class = GetClass();
	return Class ? FConfigCacheIni::GetConfigFilename(Class->GetConfigName().ToString(), true) : FString();
}

FString UObject::GetConfigFilename() const
{
	// Every class reads its configuration name's saved file, over its Default and Base layers.
	UClass* Class = GetClass();
	return Class ? FConfigCacheIni::GetConfigFilename(Class->GetConfigName().ToString(), false) : FString();
}

void UObject::LoadConfig()
{
	UClass* Class = GetClass();
	if (!GConfig || !Class || Class->GetConfigName().IsNone())
	{
		return;
	}
	const FString Filename = GetConfigFilename();
	const FString Section = SectionOf(Class);
	for (FProperty* Property : Class->GetAllProperties())
	{
		if (!IsConfigProperty(Property, CPF_Config))
		{
			continue;
		}
		void* Value = Property->ContainerPtrToValuePtr(this);
		const FString Key = Property->GetName();
		if (Property->GetKind() == EPropertyKind::Array)
		{
			TArray<FString> Lines;
			if (GConfig->GetArray(*Section, *Key, Lines, Filename) == 0 && !GConfig->GetKeys(*Section, Filename).Contains(Key))
			{
				continue;
			}
			Property->GetOps().ArrayEmpty(Value);
			for (const FString& Line : Lines)
			{
				const int32 Index = Property->GetOps().ArrayAddDefaulted(Value);
				Property->GetInner()->ImportText(*Line, Property->GetOps().ArrayElement(Value, Index));
			}
			continue;
		}
		FString Text;
		if (GConfig->GetString(*Section, *Key, Text, Filename))
		{
			// A value that does not parse keeps the default, as the engine does.
			Property->ImportText(*Text, Value);
		}
	}
}

void UObject::SaveConfig(uint64 Flags, const TCHAR* InFilename, FConfigCacheIni* Config, bool bAllowCopyToDefaultObject)
{
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("CoreUObject"), TEXT("UObject::SaveConfig"), {{TEXT("Object"), TraceObject(this)}, {TEXT("Filename"), InFilename ? FString(InFilename) : FString()}});
	}
	UClass* Class = GetClass();
	FConfigCacheIni* Cache = Config ? Config : GConfig;
	if (!Cache || !Class || Class->GetConfigName().IsNone())
	{
		return;
	}
	if (!InFilename && Class->HasAnyClassFlags(CLASS_DefaultConfig))
	{
		// A default-config class keeps its values in the project's Default file, never in the
		// per-user layer.
		{
			// The save into the Default file is part of this call, not a call of its own.
			FCallTrace::FSuspendScope SameCall;
			SaveConfig(Flags, *GetDefaultConfigFilename(), Cache, bAllowCopyToDefaultObject);
		}
		if (Cache->GetLastWriteError().IsEmpty())
		{
			ForgetInSavedLayer(this, Flags, Cache);
		}
		return;
	}
	const FString Filename = InFilename ? FString(InFilename) : GetConfigFilename();
	const FString Section = SectionOf(Class);
	const FString LowerLayer = LowerLayerOf(Class, Filename);
	for (FProperty* Property : Class->GetAllProperties())
	{
		if (!IsConfigProperty(Property, Flags))
		{
			continue;
		}
		const void* Value = Property->ContainerPtrToValuePtr(static_cast<const void*>(this));
		const FString Key = Property->GetName();
		TArray<FString> Lower;
		const bool bLowerHolds = !LowerLayer.IsEmpty() && Cache->GetArray(*Section, *Key, Lower, LowerLayer) > 0;
		if (Property->GetKind() == EPropertyKind::Array)
		{
			TArray<FString> Lines;
			void* MutableValue = const_cast<void*>(Value);
			const int32 Count = Property->GetOps().ArrayNum(Value);
			for (int32 Index = 0; Index < Count; ++Index)
			{
				FString Line;
				Property->GetInner()->ExportTextItem(Line, Property->GetOps().ArrayElement(MutableValue, Index));
				Lines.Add(Line);
			}
			// As the engine writes a layer: what the layers below already give is not repeated.
			if (bLowerHolds && SameLines(Lower, Lines))
			{
				Cache->RemoveKey(*Section, *Key, Filename);
			}
			else
			{
				Cache->SetArray(*Section, *Key, Lines, Filename);
			}
			continue;
		}
		FString Text;
		Property->ExportTextItem(Text, Value);
		if (bLowerHolds && Lower.Num() == 1 && Lower[0].Equals(Text, ESearchCase::CaseSensitive))
		{
			Cache->RemoveKey(*Section, *Key, Filename);
		}
		else
		{
			Cache->SetString(*Section, *Key, *Text, Filename);
		}
	}
	Cache->Flush(false, Filename);

	// An instance's saved values become the class defaults, as the editor's settings do.
	if (bAllowCopyToDefaultObject && !HasAnyFlags(RF_ClassDefaultObject))
	{
		if (UObject* Default = Class->GetDefaultObject(false))
		{
			for (FProperty* Property : Class->GetAllProperties())
			{
				if (IsConfigProperty(Property, Flags))
				{
					FString Text;
					Property->ExportTextItem(Text, Property->ContainerPtrToValuePtr(static_cast<const void*>(this)));
					if (Property->GetKind() != EPropertyKind::Array)
					{
						Property->ImportText(*Text, Property->ContainerPtrToValuePtr(Default));
					}
				}
			}
		}
	}
}

bool UObject::TryUpdateDefaultConfigFile(const FString& SpecificFileLocation, bool bWarnIfFail)
{
	UClass* Class = GetClass();
	if (!GConfig || !Class || Class->GetConfigName().IsNone())
	{
		return false;
	}
	const FString Filename = SpecificFileLocation.IsEmpty() ? GetDefaultConfigFilename() : SpecificFileLocation;
	SaveConfig(CPF_Config, *Filename, GConfig, false);
	if (!GConfig->GetLastWriteError().IsEmpty())
	{
		return false;
	}
	if (SpecificFileLocation.IsEmpty())
	{
		ForgetInSavedLayer(this, CPF_Config, GConfig);
	}
	return GConfig->GetLastWriteError().IsEmpty();
}
