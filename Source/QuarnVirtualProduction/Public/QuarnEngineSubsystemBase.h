#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "QuarnEngineSubsystemBase.generated.h"

/**
 * The base of the plug-in's engine subsystems.
 *
 * The stand-in subsystems that derive from it can be taken away as any engine subsystem
 * can (FSubsystemAvailability), each through its static SetAvailable(bool): a scenario runs
 * an engine without it, or takes it away and brings it back while the engine runs. A
 * subsystem taken away keeps its instance and state; its Get() answers null until it is
 * available again.
 */
UCLASS(Abstract)
class QUARNVIRTUALPRODUCTION_API UQuarnEngineSubsystemBase : public UEngineSubsystem
{
	GENERATED_BODY()

public:
	bool ShouldCreateSubsystem(UObject* Outer) const override { return true; }
};
