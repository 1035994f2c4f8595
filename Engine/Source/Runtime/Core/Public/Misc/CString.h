#pragma once

#include "HAL/Platform.h"

/** C-string helpers with the engine's names. */
struct CORE_API FCString
{
	/** Compares ignoring letter case; <0, 0 or >0. */
	static int32 Stricmp(const TCHAR* A, const TCHAR* B);
};

struct CORE_API FChar
{
	static TCHAR ToLower(TCHAR Character);
	static TCHAR ToUpper(TCHAR Character);
	static bool IsWhitespace(TCHAR Character);
	static bool IsDigit(TCHAR Character);
	static bool IsAlpha(TCHAR Character);
};
