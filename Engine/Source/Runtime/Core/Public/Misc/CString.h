#pragma once

#include "HAL/Platform.h"

/** C-string helpers with the engine's names. */
struct CORE_API FCString
{
	/** Compares ignoring letter case; <0, 0 or >0. */
	static int32 Stricmp(const TCHAR* A, const TCHAR* B);
};
