#pragma once

#include "CoreMinimal.h"

class UClass;

/**
 * Takes engine subsystem classes away and brings them back, for tests and scenarios that run an
 * engine without one. A class taken away is not created when the engine starts; one brought
 * back is created at once by a running engine that lacks it. A running engine keeps an instance
 * it already has. Process-wide; every class is available until it is taken away.
 */
struct ENGINE_API FSubsystemAvailability
{
	static void SetAvailable(UClass* SubsystemClass, bool bAvailable);
	static bool IsAvailable(const UClass* SubsystemClass);
};
