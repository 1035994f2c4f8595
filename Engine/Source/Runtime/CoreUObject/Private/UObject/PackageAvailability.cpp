#include "UObject/PackageAvailability.h"

namespace
{
	// Game thread only, as loading is.
	TArray<FString>& UnavailablePackages()
	{
		static TArray<FString> Packages;
		return Packages;
	}
} // namespace

void FPackageAvailability::SetAvailable(const FString& PackageName, bool bAvailable)
{
	if (bAvailable)
	{
		UnavailablePackages().Remove(PackageName);
	}
	else
	{
		UnavailablePackages().AddUnique(PackageName);
	}
}

bool FPackageAvailability::IsAvailable(const FString& PackageName)
{
	return !UnavailablePackages().Contains(PackageName);
}
