#pragma once

#include "Logging/LogMacros.h"

/**
 * The live log category of that name, or null: what the engine's "log CATEGORY LEVEL"
 * console command and -LogCmds find. Every category registers itself as it is made.
 */
CORE_API FLogCategoryBase* FindLogCategory(const FName& Name);

/** The verbosity a name ("Verbose", case ignored) stands for; NoLogging for an unknown name. */
CORE_API ELogVerbosity::Type ParseLogVerbosityFromString(const TCHAR* Name);
