#pragma once

#include "HAL/Platform.h"

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
