#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "RemoteControlSettings.generated.h"

/** Global remote control settings; only what the plug-in's modules read is modelled. */
UCLASS(config = RemoteControl)
class REMOTECONTROLCOMMON_API URemoteControlSettings : public UObject
{
	GENERATED_BODY()

public:
	/** Whether web server is started automatically. */
	UPROPERTY(config, EditAnywhere, Category = "Remote Control Web Interface")
	bool bAutoStartWebServer = false;
};
