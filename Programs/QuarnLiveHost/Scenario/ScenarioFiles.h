#pragma once

#include <filesystem>
#include <string>

// Files named inside a scenario (PNG pictures) are found relative to the scenario's folder.
namespace quarnlive::scenario
{
	/** The folder relative names resolve against; the loader sets it to the scenario's folder. */
	void setBaseFolder(const std::filesystem::path& folder);
	std::filesystem::path resolveFile(const std::string& name);

	/** Throws an InputError naming path unless name resolves to a PNG file the engine can use (see PngCheck.h). */
	void checkPngFile(const std::string& name, const std::string& path);
} // namespace quarnlive::scenario
