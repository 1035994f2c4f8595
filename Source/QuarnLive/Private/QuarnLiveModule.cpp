#include "QuarnLiveModule.h"

#include "ISettingsModule.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/CoreMisc.h"
#include "Modules/ModuleManager.h"
#include "QuarnLiveLog.h"
#include "QuarnLiveSettings.h"
#include "RemoteControlSettings.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

DEFINE_LOG_CATEGORY(LogQuarnLive)

#define LOCTEXT_NAMESPACE "QuarnLive"

namespace
{
	const TCHAR* const SettingsContainerName = TEXT("Project");
	const TCHAR* const SettingsCategoryName = TEXT("Quarn VP");
	const TCHAR* const SettingsSectionName = TEXT("Live");

	const TCHAR* const HttpListenersSection = TEXT("HTTPServer.Listeners");
	const TCHAR* const DefaultBindAddressKey = TEXT("DefaultBindAddress");
	// Every network interface, so other machines reach the web remote control.
	const TCHAR* const AllInterfacesAddress = TEXT("0.0.0.0");
} // namespace

void FQuarnLiveModule::StartupModule()
{
	// A game has no settings editor to put the page into.
	if (IsRunningGame())
	{
		return;
	}
	RegisterLiveSettings();
}

void FQuarnLiveModule::RegisterLiveSettings()
{
	// The editor loads the registry before the plug-ins; a process without one gets no page.
	ISettingsModule* SettingsModule = FModuleManager::GetModulePtr<ISettingsModule>(TEXT("Settings"));
	if (!SettingsModule)
	{
		return;
	}

	UQuarnLiveSettings* Settings = GetMutableDefault<UQuarnLiveSettings>();
	TSharedPtr<ISettingsSection> Section = SettingsModule->RegisterSettings(SettingsContainerName, SettingsCategoryName, SettingsSectionName,
		LOCTEXT("QuarnLiveSettingsName", "Live"), LOCTEXT("QuarnLiveSettingsDescription", "Settings for Quarn Live"), Settings);
	if (Section.IsValid())
	{
		Section->OnModified().BindRaw(this, &FQuarnLiveModule::HandleSettingsModified);
	}
}

bool FQuarnLiveModule::HandleSettingsModified()
{
	const UQuarnLiveSettings* Settings = GetMutableDefault<UQuarnLiveSettings>();
	if (!Settings || !GConfig)
	{
		return false;
	}

	// Applied on every edit, whichever property changed, so a hand edit of the engine ini is put right.
	if (Settings->bEnableWebRemote)
	{
		GConfig->SetString(HttpListenersSection, DefaultBindAddressKey, AllInterfacesAddress, GEngineIni);
		URemoteControlSettings* RemoteControlSettings = GetMutableDefault<URemoteControlSettings>();
		if (RemoteControlSettings && !RemoteControlSettings->bAutoStartWebServer)
		{
			RemoteControlSettings->bAutoStartWebServer = true;
			RemoteControlSettings->SaveConfig();
		}
	}
	else
	{
		GConfig->RemoveKey(HttpListenersSection, DefaultBindAddressKey, GEngineIni);
	}
	GConfig->Flush(false, GEngineIni);

	SettingsChangedDelegate.Broadcast();
	return true;
}

void FQuarnLiveModule::ShutdownModule()
{
	if (IsRunningGame() || !UObjectInitialized())
	{
		return;
	}
	ISettingsModule* SettingsModule = FModuleManager::GetModulePtr<ISettingsModule>(TEXT("Settings"));
	if (!SettingsModule)
	{
		return;
	}
	SettingsModule->UnregisterSettings(SettingsContainerName, SettingsCategoryName, SettingsSectionName);
}

#undef LOCTEXT_NAMESPACE

IMPLEMENT_MODULE(FQuarnLiveModule, QuarnLive)
