#include "QuarnVPEditorSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"

#include <atomic>

namespace
{
	std::atomic<bool> bVPEditorSubsystemAvailable = true;
}

UQuarnVPEditorSubsystem* UQuarnVPEditorSubsystem::Get()
{
	return bVPEditorSubsystemAvailable && GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>() : nullptr;
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
