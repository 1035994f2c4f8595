#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "QuarnEngineSubsystemBase.generated.h"

/**
 * The base of the plug-in's engine subsystems.
 *
 * The stand-in subsystems that derive from it can be taken away: each has a static
 * SetAvailable(bool) (default true) that both its ShouldCreateSubsystem and its static
 * Get() consult, so a scenario can run an engine without it, or take it away and bring
 * it back while the engine runs. A subsystem taken away keeps its instance and state;
 * Get() just answers null until it is available again.
 */
UCLASS(Abstract)
class QUARNVIRTUALPRODUCTION_API UQuarnEngineSubsystemBase : public UEngineSubsystem
{
	GENERATED_BODY()

public:
	bool ShouldCreateSubsystem(UObject* Outer) const override { return true; }

protected:
	/** Creates the subsystem of SubsystemClass when the running engine has none (it was unavailable at boot). */
	static void CreateIfMissing(UClass* SubsystemClass);
};
