#include "Json/EachEntry.h"

#include "Errors.h"
#include "Json/JsonPath.h"

namespace quarnlive::json
{
	void eachInArray(const nlohmann::ordered_json& value, const std::string& path, std::string_view what, const EntryVisit& visit)
	{
		if (!value.is_array())
		{
			throw InputError(path, "expected an array of " + std::string(what) + ", got " + describe(value));
		}
		for (std::size_t index = 0; index < value.size(); ++index)
		{
			visit(value[index], indexPath(path, index));
		}
	}

	void eachByName(const nlohmann::ordered_json& value, const std::string& path, std::string_view what, const EntryVisit& visit,
		const char* emptyName)
	{
		if (!value.is_object())
		{
			throw InputError(path, "expected an object of " + std::string(what) + ", got " + describe(value));
		}
		for (const auto& [name, entry] : value.items())
		{
			if (emptyName && name.empty())
			{
				throw InputError(path, emptyName);
			}
			visit(entry, childPath(path, name));
		}
	}
} // namespace quarnlive::json
