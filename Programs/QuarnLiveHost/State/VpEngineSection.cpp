// "vpEngine": whether the VP engine subsystem (game runs find their cameras there) exists.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "QuarnVPEngineSubsystem.h"

namespace quarnlive::state
{
	const Section& vpEngineSection()
	{
		static const Section section("vpEngine", {
													 Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UQuarnVPEngineSubsystem::SetAvailable(value.get<bool>()); }, true},
												 });
		return section;
	}
} // namespace quarnlive::state
