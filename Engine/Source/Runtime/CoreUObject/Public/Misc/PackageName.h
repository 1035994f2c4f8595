#pragma once

#include "CoreMinimal.h"

/**
 * Long package names ("/Game/Folder/Asset") and the files behind them.
 *
 * Mounted content roots, matched ignoring case:
 *   "/Game/"        -> the project's Content/ folder (FPaths::ProjectContentDir())
 *   "/<Plugin>/"    -> the plug-in's Content/ folder (FPaths::PluginDir() + "Content/"), <Plugin>
 *                      being the name of the "<Plugin>.uplugin" descriptor in that folder
 */
class COREUOBJECT_API FPackageName
{
public:
	/**
	 * The file of a long package name: the mounted root's folder, the rest of the name, then InExtension.
	 * A name ending in '/' gives its folder. False, with OutFilename unchanged, when no mounted root contains the name.
	 */
	static bool TryConvertLongPackageNameToFilename(const FString& InLongPackageName, FString& OutFilename, const FString& InExtension = TEXT(""));
};
