#pragma once

#include "HeadlessEngineLoop.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quarnlive::run
{
	/**
	 * Options that boot the plug-in's modules (moduleNames, in the descriptor's order) over
	 * projectDir. The editor brings its settings registry up before any plug-in module; a game
	 * has none.
	 */
	FHeadlessEngineOptions pluginEngineOptions(bool editor, const std::filesystem::path& projectDir, const std::filesystem::path& pluginDir,
		const std::vector<std::string>& moduleNames);
} // namespace quarnlive::run
