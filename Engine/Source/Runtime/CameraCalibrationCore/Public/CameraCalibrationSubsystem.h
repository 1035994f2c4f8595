#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "CameraCalibrationSubsystem.generated.h"

/** Lens files and calibration data of the engine's cameras; present in every engine by default. */
UCLASS()
class CAMERACALIBRATIONCORE_API UCameraCalibrationSubsystem : public UEngineSubsystem
{
	GENERATED_BODY()

public:
	bool ShouldCreateSubsystem(UObject* Outer) const override;

	/**
	 * Whether the next engine boot creates this subsystem (default true). Lets a scenario
	 * run an engine without camera calibration; an engine already running keeps its instance.
	 */
	static void SetCreationEnabled(bool bEnabled);
	static bool IsCreationEnabled();
};
