#include "TimedDataMonitorSubsystem.h"

#include "Modules/ModuleManager.h"
#include "Subsystems/SubsystemAvailability.h"

bool UTimedDataMonitorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	// The library may be linked into a process that never loaded the module.
	return FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor"));
}

void UTimedDataMonitorSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}
