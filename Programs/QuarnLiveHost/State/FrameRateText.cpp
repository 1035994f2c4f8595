#include "State/FrameRateText.h"

#include "Errors.h"
#include "Json/Checks.h"

#include <charconv>
#include <string_view>

namespace quarnlive::state
{
	namespace
	{
		std::optional<int32> parsePositive(std::string_view text)
		{
			int32 number = 0;
			const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
			if (text.empty() || error != std::errc() || end != text.data() + text.size() || number <= 0)
			{
				return std::nullopt;
			}
			return number;
		}
	} // namespace

	std::optional<FFrameRate> parseFrameRate(const std::string& text)
	{
		const std::size_t slash = text.find('/');
		const std::optional<int32> numerator = parsePositive(std::string_view(text).substr(0, slash));
		const std::optional<int32> denominator =
			slash == std::string::npos ? std::optional<int32>(1) : parsePositive(std::string_view(text).substr(slash + 1));
		if (!numerator || !denominator)
		{
			return std::nullopt;
		}
		return FFrameRate(*numerator, *denominator);
	}

	void checkFrameRate(const nlohmann::ordered_json& value, const std::string& path)
	{
		if (!parseFrameRate(json::readString(value, path)))
		{
			throw InputError(path, "invalid frame rate " + value.dump() + ": expected \"<frames>\" or \"<numerator>/<denominator>\" with positive integers, e.g. \"25\" or \"30000/1001\"");
		}
	}
} // namespace quarnlive::state
