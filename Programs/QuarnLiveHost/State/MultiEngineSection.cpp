// "multiEngine": whether the run starts the multi-engine server, on which address, in which
// role, and whether a fake answers in its place. Read once, as the engine boots: multi-engine
// work is decided at start. Only the fake's results follow the timeline.

#include "State/FieldChecks.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "MultiEngine/Addresses.h"
#include "MultiEngine/FakeServer.h"
#include "HeadlessEngineLoop.h"
#include "QuarnLiveSettings.h"
#include "QuarnVirtualProductionServer.h"

#include <functional>
#include <map>
#include <string_view>

namespace quarnlive::state
{
	namespace
	{
		/** Timeline patches reach here with the engine running; the server's start is long past then. */
		void beforeStart(RunState& run, const std::function<void(MultiEngineChoice&)>& change)
		{
			if (!FHeadlessEngineLoop::IsBooted())
			{
				change(run.multiEngine);
			}
		}

		void checkAddress(const nlohmann::ordered_json& value, const std::string& path)
		{
			if (!multiengine::canonicalAddress(json::readString(value, path)))
			{
				throw InputError(path, "expected an IPv4 address such as \"127.0.0.1\", got " + json::describe(value));
			}
		}

		void checkServer(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::readChoice(value, path, {"real", "fake"});
		}

		// Like a section: each function a boolean, any other key unknown.
		void checkFakeResults(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			for (const std::string_view function : multiengine::fakeableFunctions)
			{
				if (const nlohmann::ordered_json* result = reader.find(function))
				{
					json::readBool(*result, reader.pathOf(function));
				}
			}
			reader.rejectUnknown();
		}

		std::map<std::string, bool> fakeResultsOf(const nlohmann::ordered_json& value)
		{
			std::map<std::string, bool> results;
			for (const auto& entry : value.items())
			{
				results[entry.key()] = entry.value().get<bool>();
			}
			return results;
		}

		void checkRole(const nlohmann::ordered_json& value, const std::string& path)
		{
			const std::string role = json::readString(value, path);
			if (role != "master" && role != "follower")
			{
				throw InputError(path, "expected \"master\" or \"follower\", got " + json::describe(value));
			}
		}
	} // namespace

	// The settings object is changed in memory only, so the project keeps its own values.
	void applyMultiEngineChoice(RunState& run)
	{
		const MultiEngineChoice& choice = run.multiEngine;
		quarn::QuarnVirtualProductionServer& server = quarn::QuarnVirtualProductionServer::instance();
		quarn::ServerConfig config = server.config();
		config.bindAddress = choice.bindAddress;
		server.setConfig(config);
		if (choice.fakeServer)
		{
			run.fakeServer.standFor(server);
		}

		UQuarnLiveSettings* settings = UQuarnLiveSettings::Get();
		if (!settings)
		{
			return;
		}
		if (!choice.enabled)
		{
			settings->bDisableMultiEngine = true;
		}
		if (choice.master)
		{
			settings->bMultiEngineMaster = *choice.master;
		}
	}

	const Section& multiEngineSection()
	{
		static const Section section("multiEngine", {
														Field{"enabled", false, isBool(), [](const nlohmann::ordered_json& value, RunState& run) { beforeStart(run, [&value](MultiEngineChoice& choice) { choice.enabled = value.get<bool>(); }); }, true},
														Field{"bindAddress", "127.0.0.1", checkAddress, [](const nlohmann::ordered_json& value, RunState& run) { beforeStart(run, [&value](MultiEngineChoice& choice) { choice.bindAddress = *multiengine::canonicalAddress(value.get<std::string>()); }); }, true},
														Field{"role", "follower", checkRole, [](const nlohmann::ordered_json& value, RunState& run) {
																  beforeStart(run, [&value](MultiEngineChoice& choice) { choice.master = value.get<std::string>() == "master"; });
															  },
															true},
														Field{"server", "real", checkServer, [](const nlohmann::ordered_json& value, RunState& run) { beforeStart(run, [&value](MultiEngineChoice& choice) { choice.fakeServer = value.get<std::string>() == "fake"; }); }, true},
														// Unlike the rest, results may change while the engine runs: the next call answers them.
														Field{"fakeResults", nlohmann::ordered_json::object(), checkFakeResults, [](const nlohmann::ordered_json& value, RunState& run) { run.fakeServer.setResults(fakeResultsOf(value)); }, true},
													});
		return section;
	}
} // namespace quarnlive::state
