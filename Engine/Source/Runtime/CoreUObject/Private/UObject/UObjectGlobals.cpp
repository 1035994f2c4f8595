// UObjectGlobals.h is reached through Object.h, which declares what it needs first.
#include "UObject/Object.h"

#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "UObject/CallTraceObject.h"
#include "UObject/Class.h"
#include "UObject/PackageAvailability.h"
#include "UObject/PropertyTraits.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <optional>
#include <sstream>

DEFINE_LOG_CATEGORY_STATIC(LogUObjectGlobals, Log, All)

namespace
{
	const TCHAR* const AssetExtension = TEXT(".uasset");

	/** "/Root/Folder/Asset" or "/Root/Folder/Asset.Object", taken apart. */
	struct FAssetName
	{
		FString Package;
		/** The package's last segment: the asset's file stem and the name of the one object it holds. */
		FString Asset;
		FString Object;
	};

	FAssetName SplitAssetName(const FString& Name)
	{
		FAssetName Result;
		int32 LastSlash = INDEX_NONE;
		Name.FindLastChar('/', LastSlash);
		int32 Dot = INDEX_NONE;
		const bool bHasObject = Name.FindLastChar('.', Dot) && Dot > LastSlash;
		Result.Package = bHasObject ? Name.Left(Dot) : Name;
		Result.Asset = Result.Package.RightChop(LastSlash + 1);
		Result.Object = bHasObject ? Name.RightChop(Dot + 1) : Result.Asset;
		return Result;
	}

	// Held weakly: an asset nobody keeps is loaded afresh. Keys compare ignoring case, as package names do.
	TMap<FString, TWeakObjectPtr<UObject>>& LoadedAssets()
	{
		static TMap<FString, TWeakObjectPtr<UObject>> Assets;
		return Assets;
	}

	// Packages being loaded right now; an asset whose properties lead back to itself would never finish.
	TArray<FString>& PackagesInFlight()
	{
		static TArray<FString> Packages;
		return Packages;
	}

	std::optional<std::string> ReadFile(const FString& Filename)
	{
		std::ifstream Stream(Filename.ToStdString(), std::ios::binary);
		if (!Stream)
		{
			return std::nullopt;
		}
		std::ostringstream Text;
		Text << Stream.rdbuf();
		if (Stream.bad())
		{
			return std::nullopt;
		}
		return Text.str();
	}

	// Dumping never throws this way; a parsed document is valid UTF-8 anyway.
	std::string Dump(const nlohmann::ordered_json& Value)
	{
		return Value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
	}

	/** The text a property's ImportText reads for a JSON value; none for arrays, objects and null. */
	std::optional<FString> PropertyText(const nlohmann::ordered_json& Value)
	{
		if (Value.is_string())
		{
			return FString(Value.get<std::string>());
		}
		if (Value.is_boolean())
		{
			return FString(Value.get<bool>() ? TEXT("True") : TEXT("False"));
		}
		if (Value.is_number())
		{
			return FString(Dump(Value));
		}
		return std::nullopt;
	}

	/** Sets the file's properties on Object; the reason on failure. */
	std::optional<FString> ImportProperties(UObject& Object, const nlohmann::ordered_json& Properties)
	{
		UClass* Class = Object.GetClass();
		for (const auto& [Key, Value] : Properties.items())
		{
			FProperty* Property = Class->FindPropertyByName(FName(FString(Key)));
			if (!Property)
			{
				return FString::Printf(TEXT("class %s has no property '%s'"), *Class->GetName(), Key.c_str());
			}
			const std::optional<FString> Text = PropertyText(Value);
			if (!Text || !Property->ImportText(**Text, Property->ContainerPtrToValuePtr(&Object)))
			{
				return FString::Printf(TEXT("bad value %s for property '%s'"), Dump(Value).c_str(), *Property->GetName());
			}
		}
		return std::nullopt;
	}

	struct FLoadResult
	{
		UObject* Object = nullptr;
		FString Error;
	};

	FLoadResult Fail(FString Reason)
	{
		return {nullptr, MoveTemp(Reason)};
	}

	FLoadResult LoadAsset(UClass* Class, const FAssetName& AssetName, const TCHAR* FilenameOverride)
	{
		if (!AssetName.Object.Equals(AssetName.Asset, ESearchCase::IgnoreCase))
		{
			return Fail(FString::Printf(TEXT("its package holds no object named '%s'"), *AssetName.Object));
		}
		if (TWeakObjectPtr<UObject>* Cached = LoadedAssets().Find(AssetName.Package))
		{
			if (UObject* Object = Cached->Get())
			{
				if (!Object->IsA(Class))
				{
					return Fail(FString::Printf(TEXT("it is a %s, not a %s"), *Object->GetClass()->GetName(), *Class->GetName()));
				}
				return {Object, FString()};
			}
			LoadedAssets().Remove(AssetName.Package);
		}
		if (!FPackageAvailability::IsAvailable(AssetName.Package))
		{
			return Fail(TEXT("its package is unavailable"));
		}

		FString Filename;
		if (FilenameOverride && *FilenameOverride)
		{
			Filename = FilenameOverride;
		}
		else if (!FPackageName::TryConvertLongPackageNameToFilename(AssetName.Package, Filename, AssetExtension))
		{
			return Fail(TEXT("no mounted content root contains it"));
		}
		if (!FPaths::FileExists(Filename))
		{
			return Fail(FString::Printf(TEXT("no file %s"), *Filename));
		}
		const std::optional<std::string> Text = ReadFile(Filename);
		if (!Text)
		{
			return Fail(FString::Printf(TEXT("cannot read %s"), *Filename));
		}

		// The parser reports errors by exception; none may leave the loader.
		nlohmann::ordered_json Asset;
		try
		{
			Asset = nlohmann::ordered_json::parse(*Text);
		}
		catch (const nlohmann::ordered_json::exception& Error)
		{
			return Fail(FString::Printf(TEXT("%s is not valid JSON: %s"), *Filename, Error.what()));
		}
		if (!Asset.is_object())
		{
			return Fail(FString::Printf(TEXT("%s does not hold a JSON object"), *Filename));
		}
		const auto ClassEntry = Asset.find("Class");
		if (ClassEntry == Asset.end() || !ClassEntry->is_string())
		{
			return Fail(FString::Printf(TEXT("%s names no \"Class\""), *Filename));
		}
		const FString ClassPath(ClassEntry->get<std::string>());
		UClass* AssetClass = FReflectionRegistry::FindClass(ClassPath);
		if (!AssetClass)
		{
			return Fail(FString::Printf(TEXT("unknown class %s"), *ClassPath));
		}
		if (!AssetClass->IsChildOf(Class))
		{
			return Fail(FString::Printf(TEXT("it is a %s, not a %s"), *AssetClass->GetName(), *Class->GetName()));
		}
		const auto PropertiesEntry = Asset.find("Properties");
		if (PropertiesEntry != Asset.end() && !PropertiesEntry->is_object())
		{
			return Fail(FString::Printf(TEXT("\"Properties\" in %s is not a JSON object"), *Filename));
		}

		UObject* Object = StaticConstructObject(AssetClass, nullptr, FName(AssetName.Asset));
		if (!Object)
		{
			return Fail(FString::Printf(TEXT("class %s cannot be instanced"), *AssetClass->GetName()));
		}
		if (PropertiesEntry != Asset.end())
		{
			PackagesInFlight().Add(AssetName.Package);
			const std::optional<FString> Error = ImportProperties(*Object, *PropertiesEntry);
			PackagesInFlight().Pop();
			if (Error)
			{
				Object->MarkAsGarbage();
				return Fail(*Error);
			}
		}
		Object->PostLoad();
		LoadedAssets().Add(AssetName.Package, Object);
		return {Object, FString()};
	}
} // namespace

UObject* StaticLoadObject(UClass* Class, UObject* InOuter, const TCHAR* Name, const TCHAR* Filename, uint32 LoadFlags)
{
	const FString Path = FString(Name).TrimStartAndEnd();
	const FAssetName AssetName = SplitAssetName(Path);
	FLoadResult Result;
	if (!Path.StartsWith(TEXT("/")) || AssetName.Asset.IsEmpty() || AssetName.Object.IsEmpty())
	{
		Result = Fail(TEXT("not an asset path"));
	}
	else if (PackagesInFlight().Contains(AssetName.Package))
	{
		Result = Fail(TEXT("its properties refer back to itself"));
	}
	else
	{
		Result = LoadAsset(Class ? Class : UObject::StaticClass(), AssetName, Filename);
	}
	if (!Result.Object)
	{
		UE_LOG(LogUObjectGlobals, Warning, TEXT("Failed to load '%s': %s"), *Path, *Result.Error);
	}
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("CoreUObject"), TEXT("StaticLoadObject"), {{TEXT("Class"), Class ? Class->GetName() : FString()}, {TEXT("Name"), Path}}, TraceObject(Result.Object));
	}
	return Result.Object;
}

namespace UE::Reflection
{
	bool ImportObjectPath(const TCHAR* Text, UClass* Class, UObject*& OutObject)
	{
		const FString Path = UnquoteText(*FString(Text).TrimStartAndEnd());
		if (Path.IsEmpty() || Path == TEXT("None"))
		{
			OutObject = nullptr;
			return true;
		}
		if (!Path.StartsWith(TEXT("/")))
		{
			return false;
		}
		// As in the engine, a referenced asset that does not load leaves the reference empty
		// (its own warning says why) and does not fail the referrer.
		OutObject = StaticLoadObject(Class, nullptr, *Path);
		return true;
	}
} // namespace UE::Reflection
