#include "QuarnLiveSettings.h"

#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

UQuarnLiveSettings::UQuarnLiveSettings(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

UQuarnLiveSettings* UQuarnLiveSettings::Get()
{
	return GetMutableDefault<UQuarnLiveSettings>();
}
