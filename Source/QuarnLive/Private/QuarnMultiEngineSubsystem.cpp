#include "QuarnMultiEngineSubsystem.h"

#include "Engine/Engine.h"
#include "Misc/ConfigCacheIni.h"
#include "Modules/ModuleManager.h"
#include "QuarnLiveLog.h"
#include "QuarnLiveModule.h"
#include "QuarnLiveSettings.h"
#include "QuarnVirtualProductionServer.h"
#include "QuarnVirtualProductionSettings.h"
#include "UObject/Class.h"

namespace
{
	constexpr uint16 ListenPort = 10001;
	constexpr uint16 SendPort = 10001;
} // namespace

UQuarnMultiEngineSubsystem* UQuarnMultiEngineSubsystem::Get()
{
	if (!GEngine)
	{
		return nullptr;
	}
	return GEngine->GetEngineSubsystem<UQuarnMultiEngineSubsystem>();
}

void UQuarnMultiEngineSubsystem::Initialize(FSubsystemCollectionBase& Collection)
{
	Super::Initialize(Collection);

	const UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
	if (!Settings)
	{
		return;
	}
	bEnabled = !Settings->bDisableMultiEngine;
	bIsMaster = Settings->bMultiEngineMaster;
	if (Settings->bDisableMultiEngine)
	{
		return;
	}

	FQuarnLiveModule& Module = FModuleManager::LoadModuleChecked<FQuarnLiveModule>(TEXT("QuarnLive"));
	Module.OnSettingsChanged().AddUObject(this, &UQuarnMultiEngineSubsystem::OnLiveSettingsChanged);
	OnLiveSettingsChanged();

	// Timecode requests are answered on the server's own thread, which reads these settings;
	// they are made here, on the game thread, so that thread never creates them.
	GetDefault<UQuarnVirtualProductionSettings>();
	if (!quarn::QuarnVirtualProductionServer::instance().start(this, ListenPort, SendPort))
	{
		UE_LOG(LogQuarnLive, Error,
			TEXT("Could not start Quarn Virtual Production server. Another instance of Unreal Engine may be running in the background - check Task Manager"));
		bEnabled = false;
		return;
	}
	UE_LOG(LogQuarnLive, Log, TEXT("Started Quarn Virtual Production server"));
}

void UQuarnMultiEngineSubsystem::Deinitialize()
{
	if (bEnabled)
	{
		quarn::QuarnVirtualProductionServer::instance().stop();
	}
	Super::Deinitialize();
}

bool UQuarnMultiEngineSubsystem::IsEnabled()
{
	return bEnabled;
}

bool UQuarnMultiEngineSubsystem::IsMaster()
{
	return bIsMaster;
}

bool UQuarnMultiEngineSubsystem::CanBroadcast() const
{
	return bEnabled && bIsMaster;
}

bool UQuarnMultiEngineSubsystem::CanReceive() const
{
	return bEnabled && !bIsMaster;
}

void UQuarnMultiEngineSubsystem::OverrideIsMaster()
{
	UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
	if (!Settings)
	{
		return;
	}
	Settings->bMultiEngineMaster = true;
	Settings->SaveConfig(CPF_Config, *Settings->GetDefaultConfigFilename(), GConfig);
}

void UQuarnMultiEngineSubsystem::OnLiveSettingsChanged()
{
	const UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
	if (!Settings)
	{
		return;
	}
	SetOtherMultiEngineIps(Settings->OtherMultiEngineIps);
	bIsMaster = Settings->bMultiEngineMaster;
}
