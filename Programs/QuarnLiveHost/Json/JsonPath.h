#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <string_view>

namespace quarnlive::json
{
	/** "$.a.b" for identifier-like keys, "$.a[\"odd key\"]" for the rest. */
	std::string childPath(const std::string& parent, std::string_view key);
	/** "$.a[3]". */
	std::string indexPath(const std::string& parent, std::size_t index);
	/** Re-roots a path: ("$.state.zentrels", "$.state", "$.timeline[2].set") -> "$.timeline[2].set.zentrels". */
	std::string rebase(const std::string& path, const std::string& from, const std::string& to);
	/** A value as an error message shows it: `string "two"`, `number 2.5`, `an object`. */
	std::string describe(const nlohmann::ordered_json& value);
} // namespace quarnlive::json
