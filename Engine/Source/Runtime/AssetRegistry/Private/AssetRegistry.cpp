#include "AssetRegistry/IAssetRegistry.h"

#include "Misc/CallTrace.h"
#include "Misc/PackageName.h"

#include <filesystem>
#include <system_error>

namespace
{
	const FString AssetExtension = TEXT(".uasset");

	bool IsAssetFile(const std::filesystem::directory_entry& Entry)
	{
		std::error_code Error;
		return Entry.is_regular_file(Error) && Entry.path().extension().string() == AssetExtension.ToStdString();
	}

	template <typename TIterator>
	bool AnyAssetIn(TIterator Iterator)
	{
		std::error_code Error;
		for (const TIterator End; Iterator != End; Iterator.increment(Error))
		{
			if (Error)
			{
				return false;
			}
			if (IsAssetFile(*Iterator))
			{
				return true;
			}
		}
		return false;
	}

	class FAssetRegistryImpl final : public IAssetRegistry
	{
	public:
		bool HasAssets(const FName PackagePath, const bool bRecursive) const override
		{
			const bool bHasAssets = HasAssetFiles(PackagePath, bRecursive);
			if (FCallTrace::IsActive())
			{
				FCallTrace::Record(TEXT("AssetRegistry"), TEXT("IAssetRegistry::HasAssets"), {{TEXT("PackagePath"), PackagePath.ToString()}, {TEXT("bRecursive"), bRecursive}}, bHasAssets);
			}
			return bHasAssets;
		}

	private:
		bool HasAssetFiles(const FName PackagePath, const bool bRecursive) const
		{
			const FString Folder = GetFolderOfPackagePath(PackagePath.ToString());
			if (Folder.IsEmpty())
			{
				return false;
			}
			std::error_code Error;
			const std::filesystem::path Directory(Folder.ToStdString());
			if (!std::filesystem::is_directory(Directory, Error))
			{
				return false;
			}
			const auto Options = std::filesystem::directory_options::skip_permission_denied;
			if (bRecursive)
			{
				return AnyAssetIn(std::filesystem::recursive_directory_iterator(Directory, Options, Error));
			}
			return AnyAssetIn(std::filesystem::directory_iterator(Directory, Options, Error));
		}

		// The file-system folder of PackagePath, or empty when no mounted root contains it.
		FString GetFolderOfPackagePath(const FString& PackagePath) const
		{
			// The root's own path may be given without its trailing '/'.
			const FString Path = PackagePath.EndsWith(TEXT("/")) ? PackagePath : PackagePath + TEXT("/");
			FString Folder;
			return FPackageName::TryConvertLongPackageNameToFilename(Path, Folder) ? Folder : FString();
		}
	};
} // namespace

IAssetRegistry* IAssetRegistry::Get()
{
	static FAssetRegistryImpl Registry;
	return &Registry;
}
