// "mediaEditor": whether the media editor subsystem (bundle signals, time step and timecode provider) exists.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "QuarnMediaEditorSubsystem.h"

namespace quarnlive::state
{
	const Section& mediaEditorSection()
	{
		static const Section section("mediaEditor", {
														Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UQuarnMediaEditorSubsystem::SetAvailable(value.get<bool>()); }, true},
													});
		return section;
	}
} // namespace quarnlive::state
