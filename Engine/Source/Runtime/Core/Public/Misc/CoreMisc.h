#pragma once

#include "HAL/Platform.h"
#include "Misc/Optional.h"

/**
 * Tests and scenarios: what StaticGameCheck() answers instead of the value GIsEditor gives (0 in
 * the editor, 1 in a game); unset follows GIsEditor. Engine shut-down unsets it.
 */
extern CORE_API TOptional<int32> GStaticGameCheckOverride;

/**
 * True when the process runs as a game rather than as the editor. The test behind it,
 * StaticGameCheck(), is the engine's own and is declared only here, inside the function,
 * so plug-in code cannot call it.
 */
inline bool IsRunningGame()
{
	extern CORE_API int32 StaticGameCheck();
	return StaticGameCheck() == 1;
}
