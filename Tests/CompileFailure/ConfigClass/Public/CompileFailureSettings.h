#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "CompileFailureSettings.generated.h"

/** A settings class as a plug-in declares one. */
UCLASS(config = Game, defaultconfig)
class COMPILEFAILURECONFIG_API UCompileFailureSettings : public UObject
{
	GENERATED_BODY()

public:
	/** A value kept in the Game configuration. */
	UPROPERTY(config, EditAnywhere, Category = "Sample")
	bool bSample = false;

#ifdef QUARN_FAULT
	static const TCHAR* StaticConfigName()
	{
		return TEXT("Game");
	}
#endif
};
