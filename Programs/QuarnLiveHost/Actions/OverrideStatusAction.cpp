// overrideStatus {status, color, message}: what a client of the status subsystem does during play.

#include "Actions/Action.h"

#include "Errors.h"
#include "QuarnStatus.h"
#include "QuarnStatusSubsystem.h"
#include "Scenario/ScenarioColor.h"

namespace quarnlive::actions
{
	namespace
	{
		class OverrideStatusAction final : public Action
		{
		public:
			std::string_view name() const override { return "overrideStatus"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readChoice(entry.require("status"), entry.pathOf("status"), {"tracking", "lens", "video", "sync"});
				scenario::readColor(entry.require("color"), entry.pathOf("color"));
				if (const nlohmann::ordered_json* message = entry.find("message"))
				{
					json::readString(*message, entry.pathOf("message"));
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				UQuarnStatusSubsystem* subsystem = UQuarnStatusSubsystem::Get();
				if (!subsystem)
				{
					throw RuntimeFailure("overrideStatus: the status subsystem is gone");
				}
				FQuarnStatus status;
				status.Color = scenario::readColor(arguments.at("color"), "color");
				status.Message = FString(arguments.value("message", std::string()));
				const std::string which = arguments.at("status").get<std::string>();
				if (which == "tracking")
				{
					subsystem->OverrideTrackingStatus(status);
				}
				else if (which == "lens")
				{
					subsystem->OverrideLensStatus(status);
				}
				else if (which == "video")
				{
					subsystem->OverrideVideoStatus(status);
				}
				else
				{
					subsystem->OverrideSyncStatus(status);
				}
			}
		};
	} // namespace

	const Action& overrideStatusAction()
	{
		static const OverrideStatusAction action;
		return action;
	}
} // namespace quarnlive::actions
