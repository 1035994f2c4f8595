// "engine": engine-wide flags that code checks before touching objects, whether the editor has
// a world open, whether Slate (the user interface) is up, the game check, the timecode, and
// whether the engine object is there while objects tick.

#include "State/EngineTimecode.h"
#include "State/FieldChecks.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Framework/Application/SlateApplication.h"
#include "HeadlessEngineLoop.h"
#include "Misc/CoreMisc.h"
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
												   // null, the default, follows the run: 0 in the editor, 1 in a game. Module start-up reads it.
												   Field{"gameCheck", nullptr, isInteger(0, 2), [](const nlohmann::ordered_json& value) {
															 GStaticGameCheckOverride = value.is_null() ? TOptional<int32>() : TOptional<int32>(static_cast<int32>(value.get<int64>()));
														 },
													   true},
												   timecodeField(),
												   timecodeRateField(),
												   Field{"engineObjectInTicks", true, isBool(), [](const nlohmann::ordered_json& value) { FHeadlessEngineLoop::SetEngineHiddenFromTicks(!value.get<bool>()); }},
											   });
		return section;
	}
} // namespace quarnlive::state
