#pragma once

#include "HAL/Platform.h"

/** What every module object offers the module manager. */
class IModuleInterface
{
public:
	virtual ~IModuleInterface() = default;
	virtual void StartupModule() {}
	virtual void PreUnloadCallback() {}
	virtual void PostLoadCallback() {}
	virtual void ShutdownModule() {}
	virtual bool SupportsDynamicReloading() { return true; }
	virtual bool SupportsAutomaticShutdown() { return true; }
	virtual bool IsGameModule() const { return false; }
};

/** A module with nothing to do at start-up or shut-down. */
class FDefaultModuleImpl : public IModuleInterface
{
};
