#include "QuarnVPEditorSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"

#include <atomic>

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

void UQuarnVPEditorSubsystem::SetAvailable(bool bInAvailable)
{
	bAvailable = bInAvailable;
	if (bInAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnVPEditorSubsystem::IsAvailable()
{
	return bAvailable;
}

bool UQuarnVPEditorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return GIsEditor && bAvailable;
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
