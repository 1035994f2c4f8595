#include "QuarnVPEngineSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"
#include "QuarnMediaLayout.h"

#include <atomic>

namespace
{
	std::atomic<bool> bVPEngineSubsystemAvailable = true;
}

UQuarnVPEngineSubsystem* UQuarnVPEngineSubsystem::Get()
{
	return bVPEngineSubsystemAvailable && GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>() : nullptr;
}

void UQuarnVPEngineSubsystem::SetAvailable(bool bAvailable)
{
	bVPEngineSubsystemAvailable = bAvailable;
	if (bAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnVPEngineSubsystem::IsAvailable()
{
	return bVPEngineSubsystemAvailable;
}

bool UQuarnVPEngineSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return bVPEngineSubsystemAvailable;
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
