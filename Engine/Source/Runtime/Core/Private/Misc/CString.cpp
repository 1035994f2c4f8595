#include "Misc/CString.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

int32 FCString::Stricmp(const TCHAR* A, const TCHAR* B) { return ::strcasecmp(A, B); }
int32 FCString::Strcmp(const TCHAR* A, const TCHAR* B) { return std::strcmp(A, B); }
int32 FCString::Strlen(const TCHAR* Str) { return static_cast<int32>(std::strlen(Str)); }
int32 FCString::Atoi(const TCHAR* Str) { return static_cast<int32>(std::strtol(Str, nullptr, 10)); }
int64 FCString::Atoi64(const TCHAR* Str) { return std::strtoll(Str, nullptr, 10); }
float FCString::Atof(const TCHAR* Str) { return std::strtof(Str, nullptr); }
double FCString::Atod(const TCHAR* Str) { return std::strtod(Str, nullptr); }

bool FCString::ToBool(const TCHAR* Str)
{
	if (!Str)
	{
		return false;
	}
	if (::strcasecmp(Str, "true") == 0 || ::strcasecmp(Str, "yes") == 0 || ::strcasecmp(Str, "on") == 0)
	{
		return true;
	}
	return Atoi(Str) != 0;
}

TCHAR FChar::ToLower(TCHAR Character) { return static_cast<TCHAR>(std::tolower(static_cast<unsigned char>(Character))); }
TCHAR FChar::ToUpper(TCHAR Character) { return static_cast<TCHAR>(std::toupper(static_cast<unsigned char>(Character))); }
bool FChar::IsWhitespace(TCHAR Character) { return std::isspace(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsDigit(TCHAR Character) { return std::isdigit(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsAlpha(TCHAR Character) { return std::isalpha(static_cast<unsigned char>(Character)) != 0; }
