// "multiEngine": whether the run starts the multi-engine server, on which address and in
// which role. Read once, as the engine boots: multi-engine work is decided at start.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "MultiEngine/Addresses.h"
#include "HeadlessEngineLoop.h"
#include "QuarnLiveSettings.h"
#include "QuarnVirtualProductionServer.h"

#include <optional>
#include <utility>

namespace quarnlive::state
{
	namespace
	{
		struct MultiEngineChoice
		{
			// Off unless a scenario asks: runs side by side must not fight over port 10001.
			bool enabled = false;
			std::string bindAddress = "127.0.0.1";
			/** Unset keeps the project's bMultiEngineMaster. */
			std::optional<bool> master;
		};

		MultiEngineChoice& pendingChoice()
		{
			static MultiEngineChoice choice;
			return choice;
		}

		/**
		 * Runs at every boot once a scenario was loaded, whether or not it has the section, so
		 * the defaults hold too. The settings object is changed in memory only and the choice
		 * is used up, so the next boot starts from the defaults again.
		 */
		void applyAtBoot()
		{
			const MultiEngineChoice choice = std::exchange(pendingChoice(), MultiEngineChoice{});
			quarn::QuarnVirtualProductionServer& server = quarn::QuarnVirtualProductionServer::instance();
			quarn::ServerConfig config = server.config();
			config.bindAddress = choice.bindAddress;
			server.setConfig(config);

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

		/** Timeline patches reach here with the engine running; the server's start is long past then. */
		void beforeStart(const std::function<void(MultiEngineChoice&)>& change)
		{
			if (!FHeadlessEngineLoop::IsBooted())
			{
				change(pendingChoice());
			}
		}

		void checkAddress(const nlohmann::ordered_json& value, const std::string& path)
		{
			if (!multiengine::canonicalAddress(json::readString(value, path)))
			{
				throw InputError(path, "expected an IPv4 address such as \"127.0.0.1\", got " + json::describe(value));
			}
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

	const Section& multiEngineSection()
	{
		static const Section section("multiEngine", {
														Field{"enabled", false, isBool(), [](const nlohmann::ordered_json& value) { beforeStart([&value](MultiEngineChoice& choice) { choice.enabled = value.get<bool>(); }); }, true},
														Field{"bindAddress", "127.0.0.1", checkAddress, [](const nlohmann::ordered_json& value) { beforeStart([&value](MultiEngineChoice& choice) { choice.bindAddress = *multiengine::canonicalAddress(value.get<std::string>()); }); }, true},
														Field{"role", "follower", checkRole, [](const nlohmann::ordered_json& value) {
																  beforeStart([&value](MultiEngineChoice& choice) { choice.master = value.get<std::string>() == "master"; });
															  },
															true},
													});
		static const bool hooked = (FHeadlessEngineLoop::OnPreSubsystems().AddStatic(&applyAtBoot), true);
		(void)hooked;
		return section;
	}
} // namespace quarnlive::state
