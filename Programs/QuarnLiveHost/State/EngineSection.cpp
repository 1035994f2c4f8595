// "engine": engine-wide flags that code checks before touching objects.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "UObject/UObjectGlobals.h"

namespace quarnlive::state
{
	const Section& engineSection()
	{
		static const Section section("engine", {
			Field{"savingPackage", false, isBool(), [](const nlohmann::json& value) { GIsSavingPackage = value.get<bool>(); }},
			Field{"collectingGarbage", false, isBool(), [](const nlohmann::json& value) { GIsGarbageCollecting = value.get<bool>(); }},
		});
		return section;
	}
} // namespace quarnlive::state
