#pragma once

#include "MultiEngine/Printer.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class UQuarnMultiEngineSubsystem;

namespace quarnlive::multiengine
{
	/**
	 * The in-process edits `engine` takes on standard input besides the commands it
	 * broadcasts: `set NAME VALUE...` (the settings page, as the editor edits it),
	 * `add-ip TEXT`, `override-master`, and `state` (enabled, master, the follower list as
	 * set and as validated). False when words are none of these.
	 */
	bool runEngineEdit(const std::vector<std::string>& words, Printer& printer);

	/** The follower addresses the subsystem sends to, as the server asks for them; only a master has any. */
	nlohmann::ordered_json validatedFollowers(UQuarnMultiEngineSubsystem& multiEngine);
} // namespace quarnlive::multiengine
