#include "QuarnFunctionLibrary.h"

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
	return CurrentWorld().Get();
}

void UQuarnFunctionLibrary::SetCurrentWorld(UWorld* World)
{
	CurrentWorld() = World;
}
