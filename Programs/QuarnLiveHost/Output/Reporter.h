#pragma once

#include "Math/Color.h"
#include "Output/Numbers.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace quarnlive::output
{
	/** When something happened: the engine time and number of the frame it happened in. */
	struct Stamp
	{
		double time = 0.0;
		std::uint64_t frame = 0;
	};

	struct StatusValue
	{
		FLinearColor color;
		std::string message;
		bool operator==(const StatusValue& other) const { return color == other.color && message == other.message; }
	};

	struct NamedStatus
	{
		std::string name;
		StatusValue value;
		/** Shown as it changes; the final report of --json lists the others too. */
		bool watched = true;
	};

	/** "Green", "Yellow" or "Red" when the colour is exactly that engine constant, else empty. */
	std::string colorName(const FLinearColor& color);

	/** Where the run's events go. Lines are written whole, from any thread. */
	class Reporter
	{
	public:
		virtual ~Reporter() = default;
		virtual void status(const Stamp& stamp, const std::string& name, const StatusValue& value) = 0;
		virtual void log(const Stamp& stamp, const std::string& category, const std::string& verbosity, const std::string& message) = 0;
		/** A timeline entry: an action with its arguments, or "set" with its patch. */
		virtual void action(const Stamp& stamp, const std::string& action, const nlohmann::ordered_json& arguments) = 0;
		/** Any other line (event, evaluation, library, trace): fields for JSON, text for people. */
		virtual void line(const Stamp& stamp, const std::string& type, const nlohmann::ordered_json& fields, const std::string& text) = 0;
		/** extra: further fields of the final line ("evaluation"), each an object. */
		virtual void final(const Stamp& stamp, const std::vector<NamedStatus>& statuses, const nlohmann::ordered_json& extra) = 0;
	};

	/** One JSON object per line. */
	std::unique_ptr<Reporter> makeJsonReporter(std::FILE* stream);
	/** Aligned lines for people; colour names in ANSI colour when useColor. */
	std::unique_ptr<Reporter> makeHumanReporter(std::FILE* stream, bool useColor);
} // namespace quarnlive::output
