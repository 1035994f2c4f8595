#pragma once

#include <cstddef>
#include <cstdint>

// The headless engine uses 8-bit characters: TEXT("...") is a plain string literal.
using TCHAR = char;
using ANSICHAR = char;
using UTF8CHAR = char;

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using SIZE_T = std::size_t;
using PTRINT = std::intptr_t;
using UPTRINT = std::uintptr_t;

#define TEXT(x) x
#define INDEX_NONE (-1)

#define FORCEINLINE inline
#define FORCENOINLINE __attribute__((noinline))
#define DLLEXPORT __attribute__((visibility("default")))
#define DLLIMPORT __attribute__((visibility("default")))


#define WITH_EDITOR 1
#define WITH_EDITORONLY_DATA 1
#define UE_BUILD_SHIPPING 0

#define UE_ARRAY_COUNT(Array) (sizeof(Array) / sizeof((Array)[0]))

#define check(expr) \
	do \
	{ \
		if (!(expr)) \
		{ \
			::UE::Assert::Fail(#expr, __FILE__, __LINE__); \
		} \
	} while (false)
#define checkf(expr, ...) check(expr)
#define checkNoEntry() ::UE::Assert::Fail("Enclosing block should never be called", __FILE__, __LINE__)
#define ensure(expr) (!!(expr))
#define ensureMsgf(expr, ...) (!!(expr))

namespace UE::Assert
{
	[[noreturn]] CORE_API void Fail(const char* Expression, const char* File, int Line);
}
