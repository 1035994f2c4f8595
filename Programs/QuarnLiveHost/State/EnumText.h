#pragma once

#include "CoreMinimal.h"

#include <optional>
#include <string>

class UEnum;

// Enumerations in scenario files: an integer, or an enumerator's display name or name.
namespace quarnlive::state
{
	/** The display names, each quoted, separated by commas: for messages. */
	std::string quotedDisplayNames(const UEnum& enumeration);
	/** The value whose display name (or enumerator name) is text; none when no enumerator has it. */
	std::optional<int64> findValueByName(const UEnum& enumeration, const std::string& text);
} // namespace quarnlive::state
