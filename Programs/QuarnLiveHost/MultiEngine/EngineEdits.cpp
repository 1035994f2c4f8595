#include "MultiEngine/EngineEdits.h"

#include "Errors.h"
#include "Reflection/PropertyJson.h"
#include "Settings/SettingsEdit.h"

#include "QuarnLiveSettings.h"
#include "QuarnMultiEngineSubsystem.h"
#include "UObject/Class.h"

#include <algorithm>

namespace quarnlive::multiengine
{
	namespace
	{
		nlohmann::ordered_json listJson(const TArray<FString>& values)
		{
			nlohmann::ordered_json list = nlohmann::ordered_json::array();
			for (const FString& value : values)
			{
				list.push_back(value.ToStdString());
			}
			return list;
		}

		std::string listText(const nlohmann::ordered_json& list)
		{
			std::string text;
			for (const nlohmann::ordered_json& item : list)
			{
				text += (text.empty() ? "" : ",") + item.get<std::string>();
			}
			return text.empty() ? "none" : text;
		}

		void printState(Printer& printer)
		{
			UQuarnMultiEngineSubsystem* multiEngine = UQuarnMultiEngineSubsystem::Get();
			const UQuarnLiveSettings* settings = UQuarnLiveSettings::Get();
			const bool enabled = multiEngine && multiEngine->IsEnabled();
			const bool master = multiEngine && multiEngine->IsMaster();
			const nlohmann::ordered_json raw = settings ? listJson(settings->OtherMultiEngineIps) : nlohmann::ordered_json::array();
			const nlohmann::ordered_json validated = multiEngine ? validatedFollowers(*multiEngine) : nlohmann::ordered_json::array();
			printer.line("state", {{"enabled", enabled}, {"master", master}, {"followersRaw", raw}, {"followersValidated", validated}},
				std::string("state: multi-engine ") + (enabled ? "enabled" : "disabled") + ", " + (master ? "master" : "follower") + ", followers as set "
					+ listText(raw) + ", validated " + listText(validated));
		}

		UQuarnMultiEngineSubsystem& multiEngine(const std::string& command)
		{
			UQuarnMultiEngineSubsystem* subsystem = UQuarnMultiEngineSubsystem::Get();
			if (!subsystem)
			{
				throw InputError("", command + ": there is no multi-engine subsystem");
			}
			return *subsystem;
		}
	} // namespace

	nlohmann::ordered_json validatedFollowers(UQuarnMultiEngineSubsystem& multiEngine)
	{
		quarn::QuarnString csv;
		nlohmann::ordered_json list = nlohmann::ordered_json::array();
		if (!multiEngine.getBroadcastIpsCSV(csv))
		{
			return list;
		}
		const std::string& text = csv.str();
		for (std::size_t start = 0; start < text.size();)
		{
			const std::size_t comma = std::min(text.find(',', start), text.size());
			if (comma > start)
			{
				list.push_back(text.substr(start, comma - start));
			}
			start = comma + 1;
		}
		return list;
	}

	bool runEngineEdit(const std::vector<std::string>& words, Printer& printer)
	{
		const std::string& command = words.front();
		if (command == "state" && words.size() == 1)
		{
			printState(printer);
			return true;
		}
		if (command == "override-master" && words.size() == 1)
		{
			multiEngine(command).OverrideIsMaster();
			printState(printer);
			return true;
		}
		if (command == "add-ip")
		{
			if (words.size() != 2)
			{
				throw InputError("", "add-ip takes one address");
			}
			multiEngine(command).AddIPAddress(FString(words[1]));
			printState(printer);
			return true;
		}
		if (command == "set")
		{
			if (words.size() < 2)
			{
				throw InputError("", "set takes a setting's name and its values");
			}
			settings::Edited edited;
			try
			{
				edited = settings::editSetting(words[1], std::vector<std::string>(words.begin() + 2, words.end()));
			}
			catch (const RuntimeFailure& error)
			{
				throw InputError("", error.what());
			}
			const FProperty& property = *edited.found.property;
			const nlohmann::ordered_json value = reflection::valueJson(property, property.ContainerPtrToValuePtr(edited.found.object));
			printer.line("set", {{"name", words[1]}, {"value", value}, {"saved", edited.saved}},
				"set " + words[1] + " = " + value.dump() + (edited.saved ? ", saved" : ", not saved: the page's handler refused it"));
			return true;
		}
		return false;
	}
} // namespace quarnlive::multiengine
