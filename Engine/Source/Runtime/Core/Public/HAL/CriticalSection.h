#pragma once

#include "HAL/Platform.h"

#include <mutex>

/** A recursive lock, as the engine's critical section is. */
class FCriticalSection
{
public:
	void Lock() { Mutex.lock(); }
	void Unlock() { Mutex.unlock(); }

private:
	std::recursive_mutex Mutex;
};
