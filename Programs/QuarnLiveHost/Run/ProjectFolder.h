#pragma once

#include <filesystem>
#include <optional>

namespace quarnlive::run
{
	/**
	 * The project folder the engine reads Config/ and Content/ from: the given one, else the
	 * user's $XDG_DATA_HOME/quarnlive/Project (~/.local/share/quarnlive/Project). Created with
	 * its Config/ and Content/ when missing; a RuntimeFailure when that is impossible.
	 */
	std::filesystem::path prepareProjectFolder(const std::optional<std::filesystem::path>& requested);
} // namespace quarnlive::run
