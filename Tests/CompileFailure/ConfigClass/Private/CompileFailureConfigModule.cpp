#include "CompileFailureSettings.h"
#include "Modules/ModuleManager.h"

IMPLEMENT_MODULE(FDefaultModuleImpl, CompileFailureConfig)
