#pragma once

#include "Json/Checks.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

// Ready-made checks for the common field types of state sections.
namespace quarnlive::state
{
	using FieldCheck = std::function<void(const nlohmann::ordered_json&, const std::string&)>;

	inline FieldCheck isBool()
	{
		return [](const nlohmann::ordered_json& value, const std::string& path) { json::readBool(value, path); };
	}

	inline FieldCheck isInteger(std::int64_t min = std::numeric_limits<std::int32_t>::min(),
		std::int64_t max = std::numeric_limits<std::int32_t>::max())
	{
		return [min, max](const nlohmann::ordered_json& value, const std::string& path) { json::readInteger(value, path, min, max); };
	}

	inline FieldCheck isString()
	{
		return [](const nlohmann::ordered_json& value, const std::string& path) { json::readString(value, path); };
	}
} // namespace quarnlive::state
