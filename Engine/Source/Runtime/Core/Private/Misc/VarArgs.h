#pragma once

#include "HAL/Platform.h"

#include <cstdarg>
#include <string>

/** printf-style text of a va_list, for the Core module's variadic functions. Args is used up. */
std::string FormatVarArgs(const TCHAR* Format, va_list Args) __attribute__((format(printf, 1, 0)));
