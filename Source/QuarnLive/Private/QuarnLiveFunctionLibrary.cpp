#include "QuarnLiveFunctionLibrary.h"

#include "Modules/ModuleManager.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVirtualProductionModule.h"

void UQuarnLiveFunctionLibrary::GetVersion(FString& Version)
{
	Version = FModuleManager::LoadModuleChecked<IQuarnVirtualProductionModule>(TEXT("QuarnVirtualProduction")).GetPluginVersion();
}

void UQuarnLiveFunctionLibrary::GetMode(FString& Mode)
{
	UQuarnStatusSubsystem* StatusSubsystem = UQuarnStatusSubsystem::Get();
	if (!StatusSubsystem)
	{
		return;
	}
	Mode = StatusSubsystem->GetModeAsString();
}

void UQuarnLiveFunctionLibrary::GetStatus(FQuarnLiveStatus& Status)
{
	const UQuarnStatusSubsystem* StatusSubsystem = UQuarnStatusSubsystem::Get();
	if (!StatusSubsystem)
	{
		return;
	}
	Status.TrackingStatus = StatusSubsystem->TrackingStatus;
	Status.LensStatus = StatusSubsystem->LensStatus;
	Status.VideoStatus = StatusSubsystem->VideoStatus;
	Status.SyncStatus = StatusSubsystem->SyncStatus;
}
