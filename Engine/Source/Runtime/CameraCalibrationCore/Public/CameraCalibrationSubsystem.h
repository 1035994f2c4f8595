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
	/** Takes the subsystem away or brings it back (FSubsystemAvailability): a scenario runs an engine without camera calibration. */
	static void SetAvailable(bool bAvailable);
};
