#include "QuarnZentrelSubsystem.h"

#include "Engine/Engine.h"

#include <atomic>

namespace
{
	std::atomic<bool> bZentrelSubsystemAvailable = true;
}

UQuarnZentrelSubsystem* UQuarnZentrelSubsystem::Get()
{
	return bZentrelSubsystemAvailable && GEngine ? GEngine->GetEngineSubsystem<UQuarnZentrelSubsystem>() : nullptr;
}

void UQuarnZentrelSubsystem::SetAvailable(bool bAvailable)
{
	bZentrelSubsystemAvailable = bAvailable;
	if (bAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnZentrelSubsystem::IsAvailable()
{
	return bZentrelSubsystemAvailable;
}

bool UQuarnZentrelSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return bZentrelSubsystemAvailable;
}
