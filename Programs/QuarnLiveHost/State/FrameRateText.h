#pragma once

#include "Misc/FrameRate.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

// Frame rates in scenario files: "25" or "30000/1001".
namespace quarnlive::state
{
	std::optional<FFrameRate> parseFrameRate(const std::string& text);
	/** Rejects anything that is not a frame rate text, naming the place. */
	void checkFrameRate(const nlohmann::ordered_json& value, const std::string& path);
} // namespace quarnlive::state
