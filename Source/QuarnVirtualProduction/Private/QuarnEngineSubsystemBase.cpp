#include "QuarnEngineSubsystemBase.h"

#include "Engine/Engine.h"

void UQuarnEngineSubsystemBase::CreateIfMissing(UClass* SubsystemClass)
{
	if (GEngine && !GEngine->GetEngineSubsystemBase(SubsystemClass))
	{
		// Makes every missing subsystem that now wants to exist, as a boot would.
		GEngine->InitializeSubsystems();
	}
}
