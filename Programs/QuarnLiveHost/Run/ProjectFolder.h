#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::run
{
	/**
	 * The project folder the engine reads Config/ and Content/ from: the given one, else the
	 * user's $XDG_DATA_HOME/quarnlive/Project (~/.local/share/quarnlive/Project). Created with
	 * its Config/ and Content/ when missing; a RuntimeFailure when that is impossible.
	 */
	std::filesystem::path prepareProjectFolder(const std::optional<std::filesystem::path>& requested);

	/** The media assets (the .uasset files of Content/Quarn/Media) a project folder holds, by file name, sorted. */
	std::vector<std::string> mediaAssetsIn(const std::filesystem::path& projectFolder);
} // namespace quarnlive::run
