// "vpEditor": the VP editor subsystem (editor runs): whether it exists and whether the
// status subsystem polls it for the active camera.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "QuarnVPEditorSubsystem.h"

namespace quarnlive::state
{
	const Section& vpEditorSection()
	{
		static const Section section("vpEditor", {
													 Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UQuarnVPEditorSubsystem::SetAvailable(value.get<bool>()); }, true},
													 Field{"pollActiveCamera", false, isBool(), [](const nlohmann::ordered_json& value) {
															   // Game runs have no editor subsystem; the key then has nothing to set.
															   if (UQuarnVPEditorSubsystem* subsystem = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>() : nullptr)
															   {
																   subsystem->bPollActiveCamera = value.get<bool>();
															   }
														   }},
												 });
		return section;
	}
} // namespace quarnlive::state
