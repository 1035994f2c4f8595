#pragma once

#include <cstddef>
#include <cstdint>

// The headless engine uses 8-bit characters: TEXT("...") is a plain string literal.
using TCHAR = char;

using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using SIZE_T = std::size_t;

#define TEXT(x) x
#define INDEX_NONE (-1)

#define FORCENOINLINE __attribute__((noinline))
#define DLLEXPORT __attribute__((visibility("default")))

#define check(expr) \
	do \
	{ \
		if (!(expr)) \
		{ \
			::UE::Assert::Fail(#expr, __FILE__, __LINE__); \
		} \
	} while (false)
#define ensure(expr) (!!(expr))

namespace UE::Assert
{
	[[noreturn]] CORE_API void Fail(const char* Expression, const char* File, int Line);
}
