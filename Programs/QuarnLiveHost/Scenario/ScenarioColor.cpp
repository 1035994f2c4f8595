#include "Scenario/ScenarioColor.h"

#include "Errors.h"
#include "Json/Checks.h"
#include "Json/JsonPath.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace quarnlive::scenario
{
	FLinearColor readColor(const nlohmann::ordered_json& value, const std::string& path)
	{
		if (value.is_string())
		{
			const std::string name = json::readChoice(value, path, {"Green", "Yellow", "Red"});
			return name == "Green" ? FLinearColor::Green : name == "Yellow" ? FLinearColor::Yellow
																			: FLinearColor::Red;
		}
		if (!value.is_array() || value.size() != 4)
		{
			throw InputError(path, "expected a colour: \"Green\", \"Yellow\", \"Red\" or [r, g, b, a], got " + json::describe(value));
		}
		float components[4] = {};
		for (std::size_t index = 0; index < 4; ++index)
		{
			components[index] = static_cast<float>(json::readNumber(value[index], json::indexPath(path, index),
				-std::numeric_limits<float>::max(), std::numeric_limits<float>::max()));
		}
		return FLinearColor(components[0], components[1], components[2], components[3]);
	}

	FColor readHexColor(const nlohmann::ordered_json& value, const std::string& path)
	{
		const std::string text = json::readString(value, path);
		const bool wellFormed = (text.size() == 7 || text.size() == 9) && text.front() == '#'
			&& std::all_of(text.begin() + 1, text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
		if (!wellFormed)
		{
			throw InputError(path, "expected a colour as \"#RRGGBB\" or \"#RRGGBBAA\", got " + value.dump());
		}
		return FColor::FromHex(FString(text));
	}

	FLinearColor readHexLinearColor(const nlohmann::ordered_json& value, const std::string& path)
	{
		return FLinearColor(readHexColor(value, path));
	}
} // namespace quarnlive::scenario
