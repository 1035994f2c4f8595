#include "Run/ProjectFolder.h"

#include "Errors.h"

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
		const std::filesystem::path folder = std::filesystem::absolute(requested ? *requested : defaultProjectFolder());
		std::error_code error;
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
} // namespace quarnlive::run
