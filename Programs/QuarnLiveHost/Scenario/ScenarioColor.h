#pragma once

#include "Math/Color.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quarnlive::scenario
{
	/** "Green", "Yellow", "Red" (the engine's constants) or [r, g, b, a]; throws an InputError otherwise. */
	FLinearColor readColor(const nlohmann::ordered_json& value, const std::string& path);

	/** "#RRGGBB" or "#RRGGBBAA" (sRGB, as colour pickers write them); throws an InputError otherwise. */
	FColor readHexColor(const nlohmann::ordered_json& value, const std::string& path);
	/** The linear colour of readHexColor's sRGB colour. */
	FLinearColor readHexLinearColor(const nlohmann::ordered_json& value, const std::string& path);
} // namespace quarnlive::scenario
