#include "Modules/ModuleManager.h"

// Loaded on demand, like an enabled engine plug-in; its subsystem exists only while it is.
IMPLEMENT_MODULE(FDefaultModuleImpl, TimedDataMonitor)
