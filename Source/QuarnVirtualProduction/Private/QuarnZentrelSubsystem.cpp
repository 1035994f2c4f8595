#include "QuarnZentrelSubsystem.h"

#include "Engine/Engine.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/CallTraceObject.h"

UQuarnZentrelSubsystem* UQuarnZentrelSubsystem::Get()
{
	UQuarnZentrelSubsystem* Subsystem = FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? Cast<UQuarnZentrelSubsystem>(GEngine->GetEngineSubsystemBase(StaticClass())) : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnZentrelSubsystem::Get"), {}, TraceObject(Subsystem));
	}
	return Subsystem;
}

int32 UQuarnZentrelSubsystem::GetZentrelNum() const
{
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnZentrelSubsystem::GetZentrelNum"), {}, ZentrelNum);
	}
	return ZentrelNum;
}

void UQuarnZentrelSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}
