#include "Modules/ModuleManager.h"
#include "RemoteControlSettings.h"

IMPLEMENT_MODULE(FDefaultModuleImpl, RemoteControlCommon)
