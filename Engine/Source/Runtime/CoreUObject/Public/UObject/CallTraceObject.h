#pragma once

#include "Misc/CallTrace.h"
#include "UObject/Object.h"

/** An object as the call trace shows it: by its name, null for none. */
inline FCallTraceValue TraceObject(const UObject* Object)
{
	return Object ? FCallTraceValue::Object(Object->GetName()) : FCallTraceValue();
}
