#pragma once

#include <string>
#include <vector>

namespace quarnlive::output
{
	/**
	 * Sets each "CATEGORY=LEVEL" ("LogQuarnLive=Verbose") on the engine's log categories.
	 * Throws InputError naming --log-verbosity for a malformed text, an unknown category or
	 * an unknown level; nothing is changed then.
	 */
	void setLogVerbosities(const std::vector<std::string>& settings);
} // namespace quarnlive::output
