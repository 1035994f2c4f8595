#include "Misc/PackageName.h"

#include "Misc/Paths.h"

bool FPackageName::TryConvertLongPackageNameToFilename(const FString& InLongPackageName, FString& OutFilename, const FString& InExtension)
{
	struct FMount
	{
		const TCHAR* Root;
		FString Folder;
	};
	// Read on every call: tests and the host move the project and plug-in folders at run time.
	const FMount Mounts[] = {
		{TEXT("/Game/"), FPaths::ProjectContentDir()},
		{TEXT("/QuarnPranto/"), FPaths::PluginDir() + TEXT("Content/")},
	};
	for (const FMount& Mount : Mounts)
	{
		if (InLongPackageName.StartsWith(Mount.Root, ESearchCase::IgnoreCase))
		{
			OutFilename = Mount.Folder + InLongPackageName.RightChop(FString(Mount.Root).Len()) + InExtension;
			return true;
		}
	}
	return false;
}
