#pragma once

#include "HAL/Platform.h"

/** Identifies a cycle counter; the headless engine keeps no statistics, only the identity. */
struct TStatId
{
	const void* Id = nullptr;
	bool IsValidStat() const { return Id != nullptr; }
};

#define RETURN_QUICK_DECLARE_CYCLE_STAT(StatId, GroupId) \
	static const char StatId##_Marker = 0; \
	return TStatId{&StatId##_Marker};
#define DECLARE_CYCLE_STAT(CounterName, StatId, GroupId)
#define SCOPE_CYCLE_COUNTER(Stat)
#define QUICK_SCOPE_CYCLE_COUNTER(Stat)
