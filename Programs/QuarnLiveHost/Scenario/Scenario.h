#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::scenario
{
	/** One timeline entry, checked: either a state patch or an action. */
	struct TimelineEntry
	{
		double at = 0.0;
		/** "$.timeline[3]", for messages. */
		std::string path;
		bool isSet = false;
		/** set: the merge patch as written, and the state once it is merged. */
		nlohmann::ordered_json patch;
		nlohmann::ordered_json stateAfter;
		/** action: its name and its arguments (the entry without "at" and "action"). */
		std::string action;
		nlohmann::ordered_json arguments;
	};

	/** No run, simulated or paced by the wall clock, has more frames than this. */
	inline constexpr std::int64_t maxFrames = 10'000'000;
	/** Without a duration, a run ends this long after its last timeline entry, but not before defaultMinimum. */
	inline constexpr double defaultTail = 2.5;
	inline constexpr double defaultMinimum = 5.0;

	/** A checked scenario: nothing in it can fail a check any more. */
	struct Scenario
	{
		std::string file;
		bool editor = true;
		double frameRate = 30.0;
		std::optional<double> duration;
		nlohmann::ordered_json state = nlohmann::ordered_json::object();
		std::vector<TimelineEntry> timeline;

		/** The duration key, else 2.5 s after the last timeline entry but at least 5 s. */
		double defaultEnd() const;
		/**
		 * Throws an InputError at place when a run that ends at engine time end would have more
		 * than maxFrames frames at this frame rate; isDefaultEnd: end is defaultEnd(), place the
		 * last entry's "at".
		 */
		void checkRunLength(double end, const std::string& place, bool isDefaultEnd = false) const;
	};

	/** Checks a parsed scenario document; errors name JSON paths but no file. */
	Scenario parse(const nlohmann::ordered_json& document);
	/** Reads, parses and checks a scenario file; every InputError names the file. */
	Scenario load(const std::filesystem::path& file);
} // namespace quarnlive::scenario
