#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// Pictures a scenario names are checked before the engine boots, so a run never stops
// half-way over a file it cannot use.
namespace quarnlive::scenario
{
	/** The largest PNG file a scenario may name. */
	inline constexpr std::uintmax_t maxPngBytes = 64u * 1024u * 1024u;
	/** The widest and highest picture such a file may hold. */
	inline constexpr std::uint32_t maxPngSide = 8192;

	/**
	 * What keeps file from being a picture the engine can use, or nothing: missing or
	 * unreadable, not a PNG file, more than maxPngBytes, wider or higher than maxPngSide,
	 * truncated, or damaged so that the engine cannot decode it.
	 */
	std::optional<std::string> findPngProblem(const std::filesystem::path& file);
} // namespace quarnlive::scenario
