#include "Misc/CString.h"

#include "Misc/Char.h"
#include "Misc/VarArgs.h"

#include <cctype>
#include <cstdio>
#include <strings.h>

int32 FCString::Stricmp(const TCHAR* A, const TCHAR* B) { return ::strcasecmp(A, B); }

TCHAR FChar::ToLower(TCHAR Character) { return static_cast<TCHAR>(std::tolower(static_cast<unsigned char>(Character))); }
TCHAR FChar::ToUpper(TCHAR Character) { return static_cast<TCHAR>(std::toupper(static_cast<unsigned char>(Character))); }
bool FChar::IsWhitespace(TCHAR Character) { return std::isspace(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsDigit(TCHAR Character) { return std::isdigit(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsAlpha(TCHAR Character) { return std::isalpha(static_cast<unsigned char>(Character)) != 0; }

std::string FormatVarArgs(const TCHAR* Format, va_list Args)
{
	// Measuring reads the arguments once; the copy is for the second pass.
	va_list ArgsCopy;
	va_copy(ArgsCopy, Args);
	const int Needed = std::vsnprintf(nullptr, 0, Format, ArgsCopy);
	va_end(ArgsCopy);
	std::string Result;
	if (Needed > 0)
	{
		Result.resize(static_cast<SIZE_T>(Needed));
		std::vsnprintf(Result.data(), Result.size() + 1, Format, Args);
	}
	return Result;
}
