#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

/** The QuarnLive module object: first of the module to run and last to go. */
class FQuarnLiveModule : public IModuleInterface
{
public:
	void StartupModule() override;
	void ShutdownModule() override;

	/** Broadcast after every edit of the settings page; listeners read the new values themselves. */
	virtual TMulticastDelegate<void()>& OnSettingsChanged() { return SettingsChangedDelegate; }

private:
	/** Puts the Live page into the project settings, when the editor has a settings registry. */
	void RegisterLiveSettings();
	/** Bound to the page's modified notification; true lets the settings editor save the page. */
	bool HandleSettingsModified();

	TMulticastDelegate<void()> SettingsChangedDelegate;
};
