#pragma once

#include "Json/JsonPath.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Strict readers for scenario values: every mismatch throws an InputError naming the JSON path.
namespace quarnlive::json
{
	bool readBool(const nlohmann::ordered_json& value, const std::string& path);
	/** Integers only: 2.0 is a number, not an integer. */
	std::int64_t readInteger(const nlohmann::ordered_json& value, const std::string& path,
		std::int64_t min = std::numeric_limits<std::int32_t>::min(),
		std::int64_t max = std::numeric_limits<std::int32_t>::max());
	/** Any number within [min, max]; with minExclusive the lower bound itself is refused. */
	double readNumber(const nlohmann::ordered_json& value, const std::string& path, double min, double max, bool minExclusive = false);
	std::string readString(const nlohmann::ordered_json& value, const std::string& path);
	/** [x, y]: two numbers, each within [min, max]. */
	std::pair<double, double> readNumberPair(const nlohmann::ordered_json& value, const std::string& path, double min, double max);
	/** One of the given words, compared exactly. */
	std::string readChoice(const nlohmann::ordered_json& value, const std::string& path, std::initializer_list<std::string_view> choices);

	/**
	 * Walks one JSON object: each key a caller looks up counts as known, and rejectUnknown()
	 * then refuses the first key nobody asked for.
	 */
	class ObjectReader
	{
	public:
		ObjectReader(const nlohmann::ordered_json& object, std::string path);

		/** The value under key, or null when the key is absent. */
		const nlohmann::ordered_json* find(std::string_view key);
		/** The value under key; a missing key is an error. */
		const nlohmann::ordered_json& require(std::string_view key);
		bool has(std::string_view key) const;
		std::string pathOf(std::string_view key) const { return childPath(path_, key); }
		const std::string& path() const { return path_; }
		void rejectUnknown() const;

	private:
		const nlohmann::ordered_json& object_;
		std::string path_;
		std::vector<std::string> known_;
	};
} // namespace quarnlive::json
