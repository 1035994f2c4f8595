#pragma once

#include "HAL/Platform.h"

/** Identifies a cycle counter; the headless engine keeps no statistics, only the identity. */
struct TStatId
{
	const void* Id = nullptr;
};
