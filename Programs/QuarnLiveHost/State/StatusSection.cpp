// "status": whether the engine creates the module's status subsystem.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "QuarnStatusSubsystem.h"
#include "Subsystems/SubsystemAvailability.h"

namespace quarnlive::state
{
	const Section& statusSection()
	{
		static const Section section("status", {
												   Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { FSubsystemAvailability::SetAvailable(UQuarnStatusSubsystem::StaticClass(), value.get<bool>()); }, true},
											   });
		return section;
	}
} // namespace quarnlive::state
