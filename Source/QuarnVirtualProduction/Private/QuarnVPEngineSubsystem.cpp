#include "QuarnVPEngineSubsystem.h"

#include "Engine/Engine.h"
#include "QuarnCamera.h"
#include "QuarnMediaLayout.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/CallTraceObject.h"

UQuarnVPEngineSubsystem* UQuarnVPEngineSubsystem::Get()
{
	UQuarnVPEngineSubsystem* Subsystem = FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? Cast<UQuarnVPEngineSubsystem>(GEngine->GetEngineSubsystemBase(StaticClass())) : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnVPEngineSubsystem::Get"), {}, TraceObject(Subsystem));
	}
	return Subsystem;
}

UQuarnMediaLayout* UQuarnVPEngineSubsystem::GetModeMediaLayout() const
{
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("UQuarnVPEngineSubsystem::GetModeMediaLayout"), {}, TraceObject(MediaLayout));
	}
	return MediaLayout;
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
	if (FCallTrace::IsActive())
	{
		TArray<FCallTraceValue> Names;
		for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
		{
			Names.Add(TraceObject(Camera.Get()));
		}
		FCallTrace::Record(
			TEXT("QuarnVirtualProduction"), TEXT("UQuarnVPEngineSubsystem::GetQuarnCameras"), {}, FCallTraceValue::Record({TEXT("OutCameras")}, {FCallTraceValue(Names)}));
	}
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
