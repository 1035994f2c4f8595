#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

/** The QuarnLive module object: first of the module to run and last to go. */
class FQuarnLiveModule : public IModuleInterface
{
public:
	/** Broadcast after every edit of the settings page; listeners read the new values themselves. */
	virtual TMulticastDelegate<void()>& OnSettingsChanged() { return SettingsChangedDelegate; }

private:
	TMulticastDelegate<void()> SettingsChangedDelegate;
};
