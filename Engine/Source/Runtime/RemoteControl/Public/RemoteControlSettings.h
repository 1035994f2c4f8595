#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "RemoteControlSettings.generated.h"

/** Settings of the web remote control: whether other machines may reach its web server. */
UCLASS(config=RemoteControl)
class REMOTECONTROL_API URemoteControlSettings : public UObject
{
	GENERATED_BODY()

public:
	/** Allow machines other than this one to call the web remote control API */
	UPROPERTY(config, EditAnywhere, Category="Remote Control")
	bool bAllowRemoteAccess = false;
};
