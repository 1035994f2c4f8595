#include "Subsystems/SubsystemAvailability.h"

#include "Engine/Engine.h"

#include <mutex>
#include <unordered_set>

namespace
{
	// Read by Get() on any thread that asks for a subsystem.
	std::mutex UnavailableLock;
	std::unordered_set<const UClass*> UnavailableClasses;
} // namespace

void FSubsystemAvailability::SetAvailable(UClass* SubsystemClass, bool bAvailable)
{
	{
		const std::lock_guard<std::mutex> Lock(UnavailableLock);
		if (bAvailable)
		{
			UnavailableClasses.erase(SubsystemClass);
		}
		else
		{
			UnavailableClasses.insert(SubsystemClass);
		}
	}
	if (bAvailable && GEngine && !GEngine->GetEngineSubsystemBase(SubsystemClass))
	{
		// Makes every missing subsystem that now wants to exist, as a boot would.
		GEngine->InitializeSubsystems();
	}
}

bool FSubsystemAvailability::IsAvailable(const UClass* SubsystemClass)
{
	const std::lock_guard<std::mutex> Lock(UnavailableLock);
	return UnavailableClasses.count(SubsystemClass) == 0;
}
