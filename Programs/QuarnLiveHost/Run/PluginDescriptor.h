#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quarnlive::run
{
	/** The module names of a plug-in descriptor, in its order; a missing or broken descriptor is a RuntimeFailure. */
	std::vector<std::string> readModuleNames(const std::filesystem::path& descriptor);
} // namespace quarnlive::run
