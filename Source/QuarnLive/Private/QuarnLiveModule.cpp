#include "QuarnLiveModule.h"

#include "Modules/ModuleManager.h"
#include "QuarnLiveLog.h"

DEFINE_LOG_CATEGORY(LogQuarnLive)

IMPLEMENT_MODULE(FQuarnLiveModule, QuarnLive)
