// "zentrels": the tracking devices the zentrel subsystem reports.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "QuarnZentrelSubsystem.h"

namespace quarnlive::state
{
	const Section& zentrelsSection()
	{
		static const Section section("zentrels", {
													 Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UQuarnZentrelSubsystem::SetAvailable(value.get<bool>()); }, true},
													 Field{"count", 0, isInteger(0), [](const nlohmann::ordered_json& value) {
															   // Straight from the engine: the count still matters once the subsystem comes back.
															   if (UQuarnZentrelSubsystem* subsystem = GEngine ? GEngine->GetEngineSubsystem<UQuarnZentrelSubsystem>() : nullptr)
															   {
																   subsystem->SetZentrelNum(static_cast<int32>(value.get<std::int64_t>()));
															   }
														   }},
												 });
		return section;
	}
} // namespace quarnlive::state
