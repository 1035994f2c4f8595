#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <string_view>

// The lists and maps of scenario sections, walked entry by entry: a value of the wrong kind is
// an InputError that says what was expected ("expected an array of tags, got ...").
namespace quarnlive::json
{
	using EntryVisit = std::function<void(const nlohmann::ordered_json& entry, const std::string& path)>;

	/** visit sees each element of an array of what ("tags"), at its own path. */
	void eachInArray(const nlohmann::ordered_json& value, const std::string& path, std::string_view what, const EntryVisit& visit);
	/**
	 * visit sees each entry of an object of what ("widgets by name"), at its own path. With
	 * emptyName, an entry without a name is refused with that message before visit sees it.
	 */
	void eachByName(const nlohmann::ordered_json& value, const std::string& path, std::string_view what, const EntryVisit& visit,
		const char* emptyName = nullptr);
} // namespace quarnlive::json
