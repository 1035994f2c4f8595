#include "Misc/PackageName.h"

#include "Misc/Paths.h"

#include <filesystem>
#include <system_error>

namespace
{
	// A plug-in's content is mounted under its name, which is its descriptor's: "/<Name>/" for
	// the "<Name>.uplugin" in the plug-in folder. Empty when the folder holds no descriptor.
	FString PluginMountRoot()
	{
		std::error_code Error;
		for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(*FPaths::PluginDir(), Error))
		{
			if (Entry.path().extension() == ".uplugin")
			{
				return TEXT("/") + FString(Entry.path().stem().string()) + TEXT("/");
			}
		}
		return FString();
	}
} // namespace

bool FPackageName::TryConvertLongPackageNameToFilename(const FString& InLongPackageName, FString& OutFilename, const FString& InExtension)
{
	struct FMount
	{
		FString Root;
		FString Folder;
	};
	// Read on every call: tests and the host move the project and plug-in folders at run time.
	const FMount Mounts[] = {
		{TEXT("/Game/"), FPaths::ProjectContentDir()},
		{PluginMountRoot(), FPaths::PluginDir() + TEXT("Content/")},
	};
	for (const FMount& Mount : Mounts)
	{
		if (!Mount.Root.IsEmpty() && InLongPackageName.StartsWith(Mount.Root, ESearchCase::IgnoreCase))
		{
			OutFilename = Mount.Folder + InLongPackageName.RightChop(Mount.Root.Len()) + InExtension;
			return true;
		}
	}
	return false;
}
