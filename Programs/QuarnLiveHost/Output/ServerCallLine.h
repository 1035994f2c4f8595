#pragma once

#include "Output/Reporter.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quarnlive::output
{
	/** A `server` line: one call of the module into the fake server, with its arguments and result. */
	void reportServerCall(Reporter& reporter, const Stamp& stamp, const std::string& function, const nlohmann::ordered_json& arguments,
		const nlohmann::ordered_json& result);
} // namespace quarnlive::output
