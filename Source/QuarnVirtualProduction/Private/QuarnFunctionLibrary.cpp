#include "QuarnFunctionLibrary.h"

#include "UObject/CallTraceObject.h"

namespace
{
	TWeakObjectPtr<UWorld>& CurrentWorld()
	{
		static TWeakObjectPtr<UWorld> World;
		return World;
	}
} // namespace

UWorld* UQuarnFunctionLibrary::GetCurrentWorld()
{
	UWorld* World = CurrentWorld().Get();
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnFunctionLibrary::GetCurrentWorld"), {}, TraceObject(World));
	}
	return World;
}

void UQuarnFunctionLibrary::SetCurrentWorld(UWorld* World)
{
	CurrentWorld() = World;
}
