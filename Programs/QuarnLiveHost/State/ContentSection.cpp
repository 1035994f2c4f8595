// "content": assets of the plug-in's content that fail to load, as a damaged or missing
// package does.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "Json/EachEntry.h"
#include "UObject/PackageAvailability.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifndef QUARN_PLUGIN_DIR
#error "QUARN_PLUGIN_DIR must name the plug-in root, ending in '/'"
#endif

namespace quarnlive::state
{
	namespace
	{
		/** The package names of the assets in the plug-in's Content folder, which the engine mounts at /QuarnPranto/. */
		const std::vector<std::string>& pluginAssets()
		{
			static const std::vector<std::string> assets = [] {
				std::vector<std::string> found;
				const std::filesystem::path root = std::filesystem::path(QUARN_PLUGIN_DIR) / "Content";
				std::error_code error;
				for (const std::filesystem::directory_entry& entry : std::filesystem::recursive_directory_iterator(root, error))
				{
					if (entry.is_regular_file(error) && entry.path().extension() == ".uasset")
					{
						found.push_back("/QuarnPranto/" + std::filesystem::path(entry.path()).replace_extension().lexically_relative(root).generic_string());
					}
				}
				std::sort(found.begin(), found.end());
				return found;
			}();
			return assets;
		}

		std::string quotedAssets()
		{
			std::string text;
			for (const std::string& asset : pluginAssets())
			{
				text += (text.empty() ? "\"" : ", \"") + asset + "\"";
			}
			return text;
		}

		void checkFailToLoad(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachInArray(value, path, "asset paths", [](const nlohmann::ordered_json& entry, const std::string& entryPath) {
				const std::string asset = json::readString(entry, entryPath);
				if (std::find(pluginAssets().begin(), pluginAssets().end(), asset) == pluginAssets().end())
				{
					throw InputError(entryPath, "unknown asset " + entry.dump() + ": expected one of " + quotedAssets());
				}
			});
		}

		void applyFailToLoad(const nlohmann::ordered_json& value)
		{
			for (const std::string& asset : pluginAssets())
			{
				FPackageAvailability::SetAvailable(FString(asset), std::find(value.begin(), value.end(), asset) == value.end());
			}
		}
	} // namespace

	const Section& contentSection()
	{
		static const Section section("content", {
													Field{"failToLoad", nlohmann::ordered_json::array(), checkFailToLoad, applyFailToLoad, true},
												});
		return section;
	}
} // namespace quarnlive::state
