#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "QuarnLiveSettings.generated.h"

/** Project settings of Quarn Live: the multi-engine role and followers, and the web remote control switch. */
UCLASS(config = Game, defaultconfig)
class QUARNLIVE_API UQuarnLiveSettings : public UObject
{
	GENERATED_BODY()

public:
	UQuarnLiveSettings(const FObjectInitializer& ObjectInitializer);

	/**
	 * In a multi-engine environment, one user is the master and broadcasts play, stop, start record
	 * and stop record to the other engines.
	 */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live")
	bool bMultiEngineMaster = false;

	/** In a multi-engine environment, for the master only, this is the list of other engine IP addresses */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live", meta = (EditCondition = "bMultiEngineMaster", ConfigRestartRequired = "TRUE"))
	TArray<FString> OtherMultiEngineIps;

	/** If the multi-engine master should broadcast Play and Stop in editor */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live")
	bool bShouldBroadcastPIE = true;

	/** If broadcast should also start take recording */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live")
	bool bShouldBroadcastRecord = false;

	/** Disable the multi engine server completely (this will also prevent responses to timecode jams) */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live", meta = (AdvancedDisplay, ConfigRestartRequired = "TRUE"))
	bool bDisableMultiEngine = false;

	/** Auto-enable the Web Remote Control API remote access */
	UPROPERTY(config, EditAnywhere, Category = "Quarn|Live", meta = (AdvancedDisplay, ConfigRestartRequired = "TRUE"))
	bool bEnableWebRemote = false;

	/** The settings object every reader and writer shares: the class default object, made and loaded on first use. */
	static UQuarnLiveSettings* Get();
};
