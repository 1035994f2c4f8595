#include "Json/Checks.h"

#include "Errors.h"
#include "Json/JsonPath.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace quarnlive::json
{
	namespace
	{
		[[noreturn]] void wrongType(const nlohmann::ordered_json& value, const std::string& path, std::string_view expected)
		{
			throw InputError(path, "expected " + std::string(expected) + ", got " + describe(value));
		}

		std::string formatNumber(double value)
		{
			std::ostringstream out;
			out << value;
			return out.str();
		}

		std::string joinChoices(std::initializer_list<std::string_view> choices)
		{
			std::string text;
			for (const std::string_view choice : choices)
			{
				text += text.empty() ? "" : ", ";
				text += "\"" + std::string(choice) + "\"";
			}
			return text;
		}
	} // namespace

	bool readBool(const nlohmann::ordered_json& value, const std::string& path)
	{
		if (!value.is_boolean())
		{
			wrongType(value, path, "true or false");
		}
		return value.get<bool>();
	}

	std::int64_t readInteger(const nlohmann::ordered_json& value, const std::string& path, std::int64_t min, std::int64_t max)
	{
		if (!value.is_number_integer())
		{
			wrongType(value, path, "an integer");
		}
		// Non-negative literals parse as unsigned and may not fit a signed 64-bit integer.
		const bool tooLarge = value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(max);
		const std::int64_t result = tooLarge ? max : value.get<std::int64_t>();
		if (tooLarge || result < min || result > max)
		{
			throw InputError(path, value.dump() + " is out of range: expected " + std::to_string(min) + " to " + std::to_string(max));
		}
		return result;
	}

	double readNumber(const nlohmann::ordered_json& value, const std::string& path, double min, double max, bool minExclusive)
	{
		if (!value.is_number())
		{
			wrongType(value, path, "a number");
		}
		const double result = value.get<double>();
		const bool tooSmall = minExclusive ? !(result > min) : !(result >= min);
		if (tooSmall || !(result <= max) || !std::isfinite(result))
		{
			std::string range = minExclusive ? "greater than " + formatNumber(min) : "at least " + formatNumber(min);
			if (std::isfinite(max))
			{
				range += " and at most " + formatNumber(max);
			}
			throw InputError(path, value.dump() + " is out of range: expected " + range);
		}
		return result;
	}

	std::pair<double, double> readNumberPair(const nlohmann::ordered_json& value, const std::string& path, double min, double max)
	{
		if (!value.is_array() || value.size() != 2)
		{
			throw InputError(path, "expected [x, y], got " + describe(value));
		}
		return {readNumber(value[0], indexPath(path, 0), min, max), readNumber(value[1], indexPath(path, 1), min, max)};
	}

	std::string readString(const nlohmann::ordered_json& value, const std::string& path)
	{
		if (!value.is_string())
		{
			wrongType(value, path, "a string");
		}
		return value.get<std::string>();
	}

	std::string readChoice(const nlohmann::ordered_json& value, const std::string& path, std::initializer_list<std::string_view> choices)
	{
		if (!value.is_string())
		{
			wrongType(value, path, "one of " + joinChoices(choices));
		}
		const std::string text = value.get<std::string>();
		if (std::find(choices.begin(), choices.end(), text) == choices.end())
		{
			throw InputError(path, "unknown value " + value.dump() + ": expected one of " + joinChoices(choices));
		}
		return text;
	}

	ObjectReader::ObjectReader(const nlohmann::ordered_json& object, std::string path)
		: object_(object)
		, path_(std::move(path))
	{
		if (!object_.is_object())
		{
			wrongType(object_, path_, "an object");
		}
	}

	const nlohmann::ordered_json* ObjectReader::find(std::string_view key)
	{
		known_.emplace_back(key);
		const auto found = object_.find(std::string(key));
		return found == object_.end() ? nullptr : &*found;
	}

	const nlohmann::ordered_json& ObjectReader::require(std::string_view key)
	{
		const nlohmann::ordered_json* value = find(key);
		if (!value)
		{
			throw InputError(path_, "missing key \"" + std::string(key) + "\"");
		}
		return *value;
	}

	bool ObjectReader::has(std::string_view key) const
	{
		return object_.contains(std::string(key));
	}

	void ObjectReader::rejectUnknown() const
	{
		for (const auto& [key, value] : object_.items())
		{
			if (std::find(known_.begin(), known_.end(), key) != known_.end())
			{
				continue;
			}
			std::string knownList;
			for (const std::string& knownKey : known_)
			{
				knownList += knownList.empty() ? "" : ", ";
				knownList += knownKey;
			}
			throw InputError(childPath(path_, key), "unknown key" + (knownList.empty() ? std::string() : " (known keys: " + knownList + ")"));
		}
	}
} // namespace quarnlive::json
