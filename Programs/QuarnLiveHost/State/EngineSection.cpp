// "engine": engine-wide flags that code checks before touching objects, whether the editor has
// a world open, and whether Slate (the user interface) is up.

#include "State/FieldChecks.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Framework/Application/SlateApplication.h"
#include "Run/EditorWorld.h"
#include "UObject/Object.h"

namespace quarnlive::state
{
	const Section& engineSection()
	{
		static const Section section("engine", {
												   Field{"savingPackage", false, isBool(), [](const nlohmann::ordered_json& value) { GIsSavingPackage = value.get<bool>(); }},
												   Field{"collectingGarbage", false, isBool(), [](const nlohmann::ordered_json& value) { GIsGarbageCollecting = value.get<bool>(); }},
												   Field{"world", true, isBool(), [](const nlohmann::ordered_json& value, RunState& runState) { run::setEditorWorldOpen(runState.editorWorld, value.get<bool>()); }},
												   Field{"slate", true, isBool(), [](const nlohmann::ordered_json& value) {
															 if (value.get<bool>())
															 {
																 FSlateApplication::Create();
															 }
															 else
															 {
																 FSlateApplication::Shutdown();
															 }
														 }},
											   });
		return section;
	}
} // namespace quarnlive::state
