#pragma once

#include "HAL/Platform.h"

/** True while the process runs as the editor rather than as a game. */
extern CORE_API bool GIsEditor;
/** False until the engine has been set up, and again after it was torn down. */
extern CORE_API bool GIsRunning;
