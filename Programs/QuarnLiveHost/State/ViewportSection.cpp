// "viewport": the viewport editor subsystem (editor runs) and which video outputs have an
// entity in its viewport layout.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "QuarnViewportEditorSubsystem.h"

namespace quarnlive::state
{
	namespace
	{
		Field entityField(std::string key, EQuarnMediaIOSignal signal)
		{
			return Field{std::move(key), false, isBool(), [signal](const nlohmann::ordered_json& value) {
							 // Straight from the engine: a subsystem taken away keeps its layout for when it is back.
							 if (UQuarnViewportEditorSubsystem* viewport = GEngine ? GEngine->GetEngineSubsystem<UQuarnViewportEditorSubsystem>() : nullptr)
							 {
								 viewport->SetViewportLayoutEntity(signal, value.get<bool>());
							 }
						 }};
		}
	} // namespace

	const Section& viewportSection()
	{
		static const Section section("viewport", {
													 Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UQuarnViewportEditorSubsystem::SetAvailable(value.get<bool>()); }, true},
													 entityField("output", EQuarnMediaIOSignal::Output),
													 entityField("keyOutput", EQuarnMediaIOSignal::KeyOutput),
												 });
		return section;
	}
} // namespace quarnlive::state
