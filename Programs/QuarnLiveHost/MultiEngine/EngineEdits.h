#pragma once

#include "MultiEngine/Printer.h"

#include <string>
#include <vector>

namespace quarnlive::multiengine
{
	/**
	 * The in-process edits `engine` takes on standard input besides the commands it
	 * broadcasts: `set NAME VALUE...` (the settings page, as the editor edits it),
	 * `add-ip TEXT`, `override-master`, and `state` (enabled, master, the follower list as
	 * set and as validated). False when words are none of these.
	 */
	bool runEngineEdit(const std::vector<std::string>& words, Printer& printer);
} // namespace quarnlive::multiengine
