#include "Output/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quarnlive::output
{
	namespace
	{
		template <typename T>
		std::string shortest(T value)
		{
			char buffer[64];
			const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
			return error == std::errc() ? std::string(buffer, end) : std::string("nan");
		}
	} // namespace

	std::string shortestText(float value)
	{
		return shortest(value);
	}

	std::string shortestText(double value)
	{
		return shortest(value);
	}

	double jsonNumber(float value)
	{
		return std::strtod(shortestText(value).c_str(), nullptr);
	}

	double roundedNumber(double value)
	{
		const double rounded = std::round(value * 1e4) / 1e4;
		return rounded == 0.0 ? 0.0 : rounded;
	}

	std::string shortNumber(double value)
	{
		return shortestText(roundedNumber(value));
	}
} // namespace quarnlive::output
