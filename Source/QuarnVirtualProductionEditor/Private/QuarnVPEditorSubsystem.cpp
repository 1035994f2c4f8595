#include "QuarnVPEditorSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"

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
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}

bool UQuarnVPEditorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return GIsEditor;
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
