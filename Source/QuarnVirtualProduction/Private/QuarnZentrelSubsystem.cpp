#include "QuarnZentrelSubsystem.h"

#include "Engine/Engine.h"
#include "Subsystems/SubsystemAvailability.h"

UQuarnZentrelSubsystem* UQuarnZentrelSubsystem::Get()
{
	return FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? GEngine->GetEngineSubsystem<UQuarnZentrelSubsystem>() : nullptr;
}

void UQuarnZentrelSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}
