#include "Misc/CString.h"

#include "Misc/Char.h"

#include <cctype>
#include <strings.h>

int32 FCString::Stricmp(const TCHAR* A, const TCHAR* B) { return ::strcasecmp(A, B); }

TCHAR FChar::ToLower(TCHAR Character) { return static_cast<TCHAR>(std::tolower(static_cast<unsigned char>(Character))); }
TCHAR FChar::ToUpper(TCHAR Character) { return static_cast<TCHAR>(std::toupper(static_cast<unsigned char>(Character))); }
bool FChar::IsWhitespace(TCHAR Character) { return std::isspace(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsDigit(TCHAR Character) { return std::isdigit(static_cast<unsigned char>(Character)) != 0; }
bool FChar::IsAlpha(TCHAR Character) { return std::isalpha(static_cast<unsigned char>(Character)) != 0; }
