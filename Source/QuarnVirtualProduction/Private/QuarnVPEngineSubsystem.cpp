#include "QuarnVPEngineSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"
#include "QuarnMediaLayout.h"
#include "Subsystems/SubsystemAvailability.h"

UQuarnVPEngineSubsystem* UQuarnVPEngineSubsystem::Get()
{
	return FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>() : nullptr;
}

void UQuarnVPEngineSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}

void UQuarnVPEngineSubsystem::Initialize(FSubsystemCollectionBase& Collection)
{
	Super::Initialize(Collection);
	MediaLayout = NewObject<UQuarnMediaLayout>(this);
}

void UQuarnVPEngineSubsystem::Deinitialize()
{
	if (MediaLayout)
	{
		MediaLayout->MarkAsGarbage();
		MediaLayout = nullptr;
	}
	Cameras.Empty();
	Super::Deinitialize();
}

void UQuarnVPEngineSubsystem::GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const
{
	OutCameras.Append(Cameras);
}

void UQuarnVPEngineSubsystem::SetCameras(const TArray<AQuarnCamera*>& InCameras)
{
	Cameras.Reset();
	for (AQuarnCamera* Camera : InCameras)
	{
		Cameras.Add(Camera);
	}
}

void UQuarnVPEngineSubsystem::AddCamera(AQuarnCamera* Camera)
{
	Cameras.Add(Camera);
}
