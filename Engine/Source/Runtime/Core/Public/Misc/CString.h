#pragma once

#include "HAL/Platform.h"

/** C-string helpers with the engine's names. */
struct CORE_API FCString
{
	/** Compares ignoring letter case; <0, 0 or >0. */
	static int32 Stricmp(const TCHAR* A, const TCHAR* B);
	static int32 Strcmp(const TCHAR* A, const TCHAR* B);
	static int32 Strlen(const TCHAR* Str);
	static int32 Atoi(const TCHAR* Str);
	static int64 Atoi64(const TCHAR* Str);
	static float Atof(const TCHAR* Str);
	static double Atod(const TCHAR* Str);
	/** True for "true", "yes", "on" and non-zero numbers, ignoring case. */
	static bool ToBool(const TCHAR* Str);
};

struct CORE_API FChar
{
	static TCHAR ToLower(TCHAR Character);
	static TCHAR ToUpper(TCHAR Character);
	static bool IsWhitespace(TCHAR Character);
	static bool IsDigit(TCHAR Character);
	static bool IsAlpha(TCHAR Character);
};
