#pragma once

#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

/** Somewhere log lines go. */
class CORE_API FOutputDevice
{
public:
	virtual ~FOutputDevice() = default;
	virtual void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) = 0;
	virtual void Flush() {}
};
