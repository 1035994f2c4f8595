#include "Scenario/Scenario.h"

#include "Actions/Action.h"
#include "Errors.h"
#include "Json/Checks.h"
#include "Json/JsonFile.h"
#include "Json/JsonPath.h"
#include "Scenario/ScenarioFiles.h"
#include "State/StudioState.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <sstream>

#ifndef QUARN_PLUGIN_DIR
#error "QUARN_PLUGIN_DIR must name the plug-in root, ending in '/'"
#endif

namespace quarnlive::scenario
{
	namespace
	{
		constexpr double infinity = std::numeric_limits<double>::infinity();
		constexpr double maxFrameRate = 1000.0;
		// A frame lasts at most 1000 s, so even a run paced by the wall clock keeps moving.
		constexpr double minFrameRate = 0.001;

		std::string formatNumber(double value)
		{
			std::ostringstream out;
			out.precision(15);
			out << value;
			return out.str();
		}

		std::string knownActions()
		{
			std::string names;
			for (const std::string_view name : actions::actionNames())
			{
				names += names.empty() ? "" : ", ";
				names += name;
			}
			return names;
		}

		TimelineEntry readEntry(const nlohmann::ordered_json& value, const std::string& path, double earliest, const nlohmann::ordered_json& stateBefore)
		{
			json::ObjectReader entry(value, path);
			TimelineEntry result;
			result.path = path;
			result.at = json::readNumber(entry.require("at"), entry.pathOf("at"), 0.0, infinity);
			if (result.at < earliest)
			{
				throw InputError(entry.pathOf("at"), value.at("at").dump() + " is before the previous entry's time " + nlohmann::ordered_json(earliest).dump() + ": entries must be in time order");
			}

			const bool hasSet = entry.has("set");
			const bool hasAction = entry.has("action");
			if (hasSet == hasAction)
			{
				throw InputError(path, hasSet ? "has both \"set\" and \"action\"; an entry holds exactly one of them" : "needs \"set\" (a state patch) or \"action\"");
			}

			if (hasSet)
			{
				const nlohmann::ordered_json& patch = *entry.find("set");
				const std::string patchPath = entry.pathOf("set");
				json::ObjectReader patchReader(patch, patchPath);
				result.isSet = true;
				result.patch = patch;
				result.stateAfter = stateBefore;
				result.stateAfter.merge_patch(patch);
				// The merged state is checked as a whole; its places are reported inside the patch.
				state::checkState(result.stateAfter, patchPath);
				entry.rejectUnknown();
				return result;
			}

			const std::string actionPath = entry.pathOf("action");
			result.action = json::readString(*entry.find("action"), actionPath);
			const actions::Action* action = actions::findAction(result.action);
			if (!action)
			{
				throw InputError(actionPath, "unknown action \"" + result.action + "\" (known actions: " + knownActions() + ")");
			}
			action->checkArguments(entry);
			entry.rejectUnknown();
			result.arguments = value;
			result.arguments.erase("at");
			result.arguments.erase("action");
			return result;
		}

		/**
		 * The state of the named baseline, Examples/<name>.json; only its "state" counts. File
		 * names in it resolve against the scenario's folder, like the scenario's own.
		 */
		nlohmann::ordered_json baseState(const nlohmann::ordered_json& value, const std::string& path)
		{
			const std::string name = json::readString(value, path);
			const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
			const std::filesystem::path file = std::filesystem::path(QUARN_PLUGIN_DIR) / "Examples" / (name + ".json");
			// A name too long for the file system is just another name that is not there.
			std::error_code error;
			if (!plain || !std::filesystem::is_regular_file(file, error))
			{
				throw InputError(path, "no baseline named \"" + name + "\": expected the name of a scenario file in Examples/ without \".json\", such as \"healthyStudio\"");
			}
			nlohmann::ordered_json state = json::readFile(file).value("state", nlohmann::ordered_json::object());
			state::checkState(state, path);
			return state;
		}
	} // namespace

	double Scenario::defaultEnd() const
	{
		if (duration)
		{
			return *duration;
		}
		const double lastEntry = timeline.empty() ? 0.0 : timeline.back().at;
		return std::max(lastEntry + defaultTail, defaultMinimum);
	}

	void Scenario::checkRunLength(double end, const std::string& place, bool isDefaultEnd) const
	{
		const double frames = end * frameRate;
		if (frames <= static_cast<double>(maxFrames))
		{
			return;
		}
		const std::string length = formatNumber(end) + " s";
		const std::string rate = formatNumber(frameRate) + " frames per second";
		const std::string limit = formatNumber(frames) + " frames: a run has at most " + std::to_string(maxFrames) + " frames";
		if (isDefaultEnd)
		{
			throw InputError(place, "the run ends " + formatNumber(defaultTail) + " s after the last entry, at " + length + "; at " + rate + " that is " + limit);
		}
		throw InputError(place, length + " at " + rate + " is " + limit);
	}

	Scenario parse(const nlohmann::ordered_json& document)
	{
		json::ObjectReader top(document, "$");
		Scenario scenario;
		if (const nlohmann::ordered_json* run = top.find("run"))
		{
			scenario.editor = json::readChoice(*run, top.pathOf("run"), {"editor", "game"}) == "editor";
		}
		if (const nlohmann::ordered_json* frameRate = top.find("frameRate"))
		{
			scenario.frameRate = json::readNumber(*frameRate, top.pathOf("frameRate"), 0.0, maxFrameRate, true);
			if (scenario.frameRate < minFrameRate)
			{
				throw InputError(top.pathOf("frameRate"), frameRate->dump() + " is out of range: expected at least " + formatNumber(minFrameRate) + " (a frame lasts at most " + formatNumber(1.0 / minFrameRate) + " s)");
			}
		}
		if (const nlohmann::ordered_json* duration = top.find("duration"))
		{
			scenario.duration = json::readNumber(*duration, top.pathOf("duration"), 0.0, infinity);
			scenario.checkRunLength(*scenario.duration, top.pathOf("duration"), false);
		}
		if (const nlohmann::ordered_json* base = top.find("base"))
		{
			scenario.state = baseState(*base, top.pathOf("base"));
		}
		if (const nlohmann::ordered_json* state = top.find("state"))
		{
			// The scenario's state changes the baseline as a timeline patch would.
			nlohmann::ordered_json merged = scenario.state;
			merged.merge_patch(*state);
			state::checkState(merged, top.pathOf("state"));
			scenario.state = std::move(merged);
		}
		if (const nlohmann::ordered_json* timeline = top.find("timeline"))
		{
			const std::string timelinePath = top.pathOf("timeline");
			if (!timeline->is_array())
			{
				throw InputError(timelinePath, "expected an array of entries, got " + json::describe(*timeline));
			}
			double earliest = 0.0;
			nlohmann::ordered_json currentState = scenario.state;
			for (std::size_t index = 0; index < timeline->size(); ++index)
			{
				TimelineEntry entry = readEntry((*timeline)[index], json::indexPath(timelinePath, index), earliest, currentState);
				earliest = entry.at;
				if (entry.isSet)
				{
					currentState = entry.stateAfter;
				}
				scenario.timeline.push_back(std::move(entry));
			}
		}
		top.rejectUnknown();
		if (!scenario.duration && !scenario.timeline.empty())
		{
			scenario.checkRunLength(scenario.defaultEnd(), json::childPath(scenario.timeline.back().path, "at"), true);
		}
		return scenario;
	}

	Scenario load(const std::filesystem::path& file)
	{
		try
		{
			setBaseFolder(file.parent_path());
			Scenario scenario = parse(json::readFile(file));
			scenario.file = file.string();
			return scenario;
		}
		catch (InputError& error)
		{
			if (error.file().empty())
			{
				error.setFile(file.string());
			}
			throw;
		}
	}
} // namespace quarnlive::scenario
