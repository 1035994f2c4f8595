#include "TimedDataMonitorSubsystem.h"

#include "Modules/ModuleManager.h"

#include <atomic>

namespace
{
	std::atomic<bool> bCreationEnabled = true;
}

bool UTimedDataMonitorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	// The library may be linked into a process that never loaded the module.
	return bCreationEnabled && FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor"));
}

void UTimedDataMonitorSubsystem::SetCreationEnabled(bool bEnabled)
{
	bCreationEnabled = bEnabled;
}

bool UTimedDataMonitorSubsystem::IsCreationEnabled()
{
	return bCreationEnabled;
}
