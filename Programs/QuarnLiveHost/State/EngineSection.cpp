// "engine": engine-wide flags that code checks before touching objects.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "UObject/Object.h"

namespace quarnlive::state
{
	const Section& engineSection()
	{
		static const Section section("engine", {
			Field{"savingPackage", false, isBool(), [](const nlohmann::ordered_json& value) { GIsSavingPackage = value.get<bool>(); }},
			Field{"collectingGarbage", false, isBool(), [](const nlohmann::ordered_json& value) { GIsGarbageCollecting = value.get<bool>(); }},
		});
		return section;
	}
} // namespace quarnlive::state
