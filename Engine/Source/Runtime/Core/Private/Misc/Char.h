#pragma once

#include "HAL/Platform.h"

/** Single-character tests and case mapping, ASCII only, for the Core module's own string code. */
struct FChar
{
	static TCHAR ToLower(TCHAR Character);
	static TCHAR ToUpper(TCHAR Character);
	static bool IsWhitespace(TCHAR Character);
	static bool IsDigit(TCHAR Character);
	static bool IsAlpha(TCHAR Character);
};
