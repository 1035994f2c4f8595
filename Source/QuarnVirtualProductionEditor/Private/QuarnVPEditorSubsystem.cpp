#include "QuarnVPEditorSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"
#include "UObject/CallTraceObject.h"

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

UQuarnVPEditorSubsystem* UQuarnVPEditorSubsystem::Get()
{
	UQuarnVPEditorSubsystem* Subsystem = FSubsystemAvailability::IsAvailable(StaticClass()) ? Instance : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProductionEditor"), TEXT("UQuarnVPEditorSubsystem::Get"), {}, TraceObject(Subsystem));
	}
	return Subsystem;
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
	if (FCallTrace::IsActive())
	{
		TArray<FCallTraceValue> Names;
		for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
		{
			Names.Add(TraceObject(Camera.Get()));
		}
		FCallTrace::Record(TEXT("QuarnVirtualProductionEditor"), TEXT("UQuarnVPEditorSubsystem::GetQuarnCameras"), {},
			FCallTraceValue::Record({TEXT("OutCameras")}, {FCallTraceValue(Names)}));
	}
}

AActor* UQuarnVPEditorSubsystem::GetQuarnCamera()
{
	++QuarnCameraCallCount;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProductionEditor"), TEXT("UQuarnVPEditorSubsystem::GetQuarnCamera"), {}, TraceObject(ActiveCamera.Get()));
	}
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
