// "sync": whether the media editor subsystem reports its custom time step (genlock) and its
// timecode provider as synchronised.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "QuarnMediaEditorSubsystem.h"

namespace quarnlive::state
{
	namespace
	{
		// Straight from the engine: a subsystem taken away keeps its state for when it is back.
		UQuarnMediaEditorSubsystem* mediaEditor()
		{
			return GEngine ? GEngine->GetEngineSubsystem<UQuarnMediaEditorSubsystem>() : nullptr;
		}
	} // namespace

	const Section& syncSection()
	{
		static const Section section("sync", {
												 Field{"timeStepSynchronized", false, isBool(), [](const nlohmann::ordered_json& value) {
														   if (UQuarnMediaEditorSubsystem* subsystem = mediaEditor())
														   {
															   subsystem->SetTimeStepSynchronized(value.get<bool>());
														   }
													   }},
												 Field{"providerSynchronized", false, isBool(), [](const nlohmann::ordered_json& value) {
														   if (UQuarnMediaEditorSubsystem* subsystem = mediaEditor())
														   {
															   subsystem->SetProviderSynchronized(value.get<bool>());
														   }
													   }},
											 });
		return section;
	}
} // namespace quarnlive::state
