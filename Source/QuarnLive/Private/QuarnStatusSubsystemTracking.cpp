// Tracking leg: Live Link sources and subjects, and the cameras that receive them.

#include "QuarnStatusSubsystem.h"

#include "GameFramework/Actor.h"
#include "QuarnCamera.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "UObject/Class.h"

void UQuarnStatusSubsystem::UpdateTrackingStatus()
{
	TrackingStatus = FQuarnStatus();
}


bool UQuarnStatusSubsystem::GetQuarnCameras(TArray<TWeakObjectPtr<AQuarnCamera>>& OutCameras) const
{
	if (StaticGameCheck() == 1)
	{
		const UQuarnVPEngineSubsystem* VPEngineSubsystem = UQuarnVPEngineSubsystem::Get();
		if (!VPEngineSubsystem)
		{
			return false;
		}
		VPEngineSubsystem->GetQuarnCameras(OutCameras);
	}
	else
	{
		const UQuarnVPEditorSubsystem* VPEditorSubsystem = UQuarnVPEditorSubsystem::Get();
		if (!VPEditorSubsystem)
		{
			return false;
		}
		VPEditorSubsystem->GetQuarnCameras(OutCameras);
	}
	OutCameras.RemoveAll([](const TWeakObjectPtr<AQuarnCamera>& Camera) { return !Camera.IsValid(); });
	return !OutCameras.IsEmpty();
}

TArray<UQuarnLiveLinkComponentController*> UQuarnStatusSubsystem::GetQuarnLiveLinkComponents() const
{
	TArray<UQuarnLiveLinkComponentController*> Result;
	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	if (!GetQuarnCameras(Cameras))
	{
		return Result;
	}
	for (const TWeakObjectPtr<AQuarnCamera>& Camera : Cameras)
	{
		if (!Camera.IsValid())
		{
			continue;
		}
		UActorComponent* Component = Camera->GetComponentByClass(UQuarnLiveLinkComponentController::StaticClass());
		if (Component && Component->IsA(UQuarnLiveLinkComponentController::StaticClass()))
		{
			Result.Add(static_cast<UQuarnLiveLinkComponentController*>(Component));
		}
	}
	return Result;
}
