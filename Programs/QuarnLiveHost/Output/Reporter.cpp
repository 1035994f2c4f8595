#include "Output/Reporter.h"

#include <charconv>

namespace quarnlive::output
{
	std::string colorName(const FLinearColor& color)
	{
		if (color == FLinearColor::Green)
		{
			return "Green";
		}
		if (color == FLinearColor::Yellow)
		{
			return "Yellow";
		}
		if (color == FLinearColor::Red)
		{
			return "Red";
		}
		return {};
	}

	std::string shortestText(float value)
	{
		char buffer[32];
		const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
		return error == std::errc() ? std::string(buffer, end) : std::string("nan");
	}
} // namespace quarnlive::output
