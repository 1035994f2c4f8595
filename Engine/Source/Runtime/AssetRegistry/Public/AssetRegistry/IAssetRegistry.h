#pragma once

#include "CoreMinimal.h"

/**
 * Answers which assets exist under a package path such as "/Game/Quarn/Media".
 *
 * Package paths start at a mounted content root:
 *   "/Game/"        -> the project's Content/ folder (FPaths::ProjectContentDir())
 *   "/<Plugin>/"    -> the plug-in's Content/ folder (FPaths::PluginDir() + "Content/"), <Plugin>
 *                      being the name of the "<Plugin>.uplugin" descriptor in that folder
 * and the rest of the path names sub-folders below it.
 *
 * Headless asset format: an asset is a file named "<Name>.uasset" whose text is a JSON
 * object with at least the key "Class", the path of the asset's class, for example
 *   { "Class": "/Script/MediaAssets.FileMediaSource" }
 * and optionally "Properties", which StaticLoadObject sets on the loaded object.
 * Package paths become folders through FPackageName.
 * The registry scans the folders on every query; it reads names, not contents, so no
 * cache can go out of date while a test or a scenario writes content.
 */
class ASSETREGISTRY_API IAssetRegistry
{
public:
	virtual ~IAssetRegistry() = default;

	/** The engine's asset registry; never null in the headless engine. */
	static IAssetRegistry* Get();
	static IAssetRegistry& GetChecked() { return *Get(); }

	/**
	 * Whether any asset lies in the folder of PackagePath ("/Game/Quarn/Media", with or without
	 * a trailing '/'), or in any folder below it when bRecursive. False for a path outside
	 * every mounted root.
	 */
	virtual bool HasAssets(const FName PackagePath, const bool bRecursive = false) const = 0;
};
