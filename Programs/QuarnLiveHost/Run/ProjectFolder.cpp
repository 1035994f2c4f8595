#include "Run/ProjectFolder.h"

#include "Errors.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace quarnlive::run
{
	namespace
	{
		std::filesystem::path defaultProjectFolder()
		{
			const char* dataHome = std::getenv("XDG_DATA_HOME");
			if (dataHome && *dataHome == '/')
			{
				return std::filesystem::path(dataHome) / "quarnlive" / "Project";
			}
			const char* home = std::getenv("HOME");
			if (!home || !*home)
			{
				throw RuntimeFailure("no project folder: neither XDG_DATA_HOME nor HOME is set; pass --project DIR");
			}
			return std::filesystem::path(home) / ".local" / "share" / "quarnlive" / "Project";
		}
	} // namespace

	std::filesystem::path prepareProjectFolder(const std::optional<std::filesystem::path>& requested)
	{
		std::error_code error;
		const std::filesystem::path folder = std::filesystem::absolute(requested ? *requested : defaultProjectFolder(), error);
		if (error)
		{
			throw RuntimeFailure("cannot use project folder " + (requested ? *requested : defaultProjectFolder()).string() + ": " + error.message());
		}
		for (const char* sub : {"Config", "Content"})
		{
			std::filesystem::create_directories(folder / sub, error);
			if (error)
			{
				throw RuntimeFailure("cannot create project folder " + (folder / sub).string() + ": " + error.message());
			}
		}
		return folder;
	}

	std::vector<std::string> mediaAssetsIn(const std::filesystem::path& projectFolder)
	{
		std::vector<std::string> names;
		std::error_code error;
		const std::filesystem::path folder = projectFolder / "Content" / "Quarn" / "Media";
		if (!std::filesystem::is_directory(folder, error))
		{
			return names;
		}
		for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, error))
		{
			if (entry.is_regular_file(error) && entry.path().extension() == ".uasset")
			{
				names.push_back(entry.path().filename().string());
			}
		}
		std::sort(names.begin(), names.end());
		return names;
	}
} // namespace quarnlive::run
