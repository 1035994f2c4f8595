#include "Json/JsonPath.h"

#include <cctype>

namespace quarnlive::json
{
	namespace
	{
		bool isIdentifier(std::string_view key)
		{
			if (key.empty() || std::isdigit(static_cast<unsigned char>(key.front())))
			{
				return false;
			}
			for (const char c : key)
			{
				if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
				{
					return false;
				}
			}
			return true;
		}
	} // namespace

	std::string childPath(const std::string& parent, std::string_view key)
	{
		if (isIdentifier(key))
		{
			return parent + "." + std::string(key);
		}
		return parent + "[" + nlohmann::ordered_json(std::string(key)).dump() + "]";
	}

	std::string indexPath(const std::string& parent, std::size_t index)
	{
		return parent + "[" + std::to_string(index) + "]";
	}

	std::string rebase(const std::string& path, const std::string& from, const std::string& to)
	{
		if (path.compare(0, from.size(), from) == 0)
		{
			return to + path.substr(from.size());
		}
		return path;
	}

	std::string describe(const nlohmann::ordered_json& value)
	{
		constexpr std::size_t maxShown = 40;
		switch (value.type())
		{
		case nlohmann::ordered_json::value_t::null:
			return "null";
		case nlohmann::ordered_json::value_t::boolean:
			return value.get<bool>() ? "true" : "false";
		case nlohmann::ordered_json::value_t::object:
			return "an object";
		case nlohmann::ordered_json::value_t::array:
			return "an array";
		case nlohmann::ordered_json::value_t::string:
		{
			std::string text = value.dump();
			if (text.size() > maxShown)
			{
				text = text.substr(0, maxShown) + "...\"";
			}
			return "string " + text;
		}
		default:
			return "number " + value.dump();
		}
	}
} // namespace quarnlive::json
