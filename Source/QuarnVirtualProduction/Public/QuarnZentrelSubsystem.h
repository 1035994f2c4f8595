#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "QuarnZentrelSubsystem.generated.h"

/** The Zentrel tracking devices connected to this engine. */
UCLASS()
class QUARNVIRTUALPRODUCTION_API UQuarnZentrelSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	/** The engine's instance; null without an engine or while unavailable. */
	static UQuarnZentrelSubsystem* Get();
	/** See UQuarnEngineSubsystemBase. */
	static void SetAvailable(bool bAvailable);

	/** How many Zentrel devices are connected. */
	int32 GetZentrelNum() const;
	void SetZentrelNum(int32 InZentrelNum) { ZentrelNum = InZentrelNum; }

private:
	int32 ZentrelNum = 0;
};
