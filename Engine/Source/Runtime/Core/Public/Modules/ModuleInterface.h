#pragma once

#include "HAL/Platform.h"

/** What every module object offers the module manager. */
class IModuleInterface
{
public:
	virtual ~IModuleInterface() = default;
	virtual void StartupModule() {}
	virtual void ShutdownModule() {}
};

/** A module with nothing to do at start-up or shut-down. */
class FDefaultModuleImpl : public IModuleInterface
{
};
