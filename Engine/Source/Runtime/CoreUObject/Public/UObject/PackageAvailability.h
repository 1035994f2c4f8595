#pragma once

#include "CoreMinimal.h"

/**
 * Takes packages away from the loader and brings them back, for tests and scenarios whose
 * content fails to load. StaticLoadObject of a package taken away fails (with its usual
 * warning) even when its file is there; an object already loaded stays loaded. Names compare
 * ignoring case, as package names do. Process-wide; every package is available until it is
 * taken away.
 */
struct COREUOBJECT_API FPackageAvailability
{
	/** @param PackageName the long package name, "/Root/Folder/Asset" */
	static void SetAvailable(const FString& PackageName, bool bAvailable);
	static bool IsAvailable(const FString& PackageName);
};
