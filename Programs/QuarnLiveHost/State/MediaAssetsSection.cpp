// "mediaAssets": the media assets in the project's /Game/Quarn/Media folder, the folder the
// video check asks the asset registry about.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "Json/EachEntry.h"
#include "Misc/Paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace quarnlive::state
{
	namespace
	{
		std::filesystem::path mediaFolder()
		{
			return std::filesystem::path((FPaths::ProjectContentDir() + TEXT("Quarn/Media")).ToStdString());
		}

		bool isAssetName(const std::string& name)
		{
			return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
				return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
			});
		}

		void checkFiles(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachInArray(value, path, "asset names", [](const nlohmann::ordered_json& entry, const std::string& entryPath) {
				if (!isAssetName(json::readString(entry, entryPath)))
				{
					throw InputError(entryPath, "invalid asset name " + entry.dump() + ": expected letters, digits, '_' or '-'");
				}
			});
		}

		/** The folder's own .uasset files become exactly the named ones; sub-folders are left alone. */
		void applyFiles(const nlohmann::ordered_json& value)
		{
			std::set<std::string> wanted;
			for (const nlohmann::ordered_json& name : value)
			{
				wanted.insert(name.get<std::string>() + ".uasset");
			}
			const std::filesystem::path folder = mediaFolder();
			std::error_code error;
			if (std::filesystem::is_directory(folder, error))
			{
				for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, error))
				{
					const std::string fileName = entry.path().filename().string();
					if (entry.is_regular_file(error) && entry.path().extension() == ".uasset" && !wanted.contains(fileName))
					{
						std::filesystem::remove(entry.path(), error);
					}
				}
			}
			if (wanted.empty())
			{
				return;
			}
			std::filesystem::create_directories(folder, error);
			for (const std::string& fileName : wanted)
			{
				const std::filesystem::path file = folder / fileName;
				if (std::filesystem::exists(file, error))
				{
					continue;
				}
				std::ofstream out(file);
				out << "{ \"Class\": \"/Script/QuarnMediaEditor.QuarnMediaBundle\" }\n";
				if (!out)
				{
					throw RuntimeFailure("cannot write the media asset " + file.string());
				}
			}
		}
	} // namespace

	const Section& mediaAssetsSection()
	{
		static const Section section("mediaAssets", {
														Field{"files", nlohmann::ordered_json::array(), checkFiles, applyFiles},
													});
		return section;
	}
} // namespace quarnlive::state
