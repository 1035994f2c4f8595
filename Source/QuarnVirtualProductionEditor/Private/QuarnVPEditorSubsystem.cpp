#include "QuarnVPEditorSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"

#include <atomic>

namespace
{
	std::atomic<bool> bVPEditorSubsystemAvailable = true;
	// Asked for on every editor tick, so the instance is kept at hand rather than looked up.
	UQuarnVPEditorSubsystem* Instance = nullptr;
}

UQuarnVPEditorSubsystem* UQuarnVPEditorSubsystem::Get()
{
	return bVPEditorSubsystemAvailable.load(std::memory_order_relaxed) ? Instance : nullptr;
}

void UQuarnVPEditorSubsystem::Initialize(FSubsystemCollectionBase& Collection)
{
	Super::Initialize(Collection);
	Instance = this;
}

void UQuarnVPEditorSubsystem::Deinitialize()
{
	if (Instance == this)
	{
		Instance = nullptr;
	}
	Super::Deinitialize();
}

void UQuarnVPEditorSubsystem::SetAvailable(bool bAvailable)
{
	bVPEditorSubsystemAvailable = bAvailable;
	if (bAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnVPEditorSubsystem::IsAvailable()
{
	return bVPEditorSubsystemAvailable;
}

bool UQuarnVPEditorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return GIsEditor && bVPEditorSubsystemAvailable;
}

void UQuarnVPEditorSubsystem::GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const
{
	OutCameras.Append(Cameras);
}

AActor* UQuarnVPEditorSubsystem::GetQuarnCamera()
{
	++QuarnCameraCallCount;
	return ActiveCamera.Get();
}

void UQuarnVPEditorSubsystem::SetCameras(const TArray<AQuarnCamera*>& InCameras)
{
	Cameras.Reset();
	for (AQuarnCamera* Camera : InCameras)
	{
		Cameras.Add(Camera);
	}
}

void UQuarnVPEditorSubsystem::AddCamera(AQuarnCamera* Camera)
{
	Cameras.Add(Camera);
}

void UQuarnVPEditorSubsystem::SetActiveCamera(AActor* Camera)
{
	ActiveCamera = Camera;
	OnActiveCameraChangedDelegate.Broadcast(ActiveCamera);
}
