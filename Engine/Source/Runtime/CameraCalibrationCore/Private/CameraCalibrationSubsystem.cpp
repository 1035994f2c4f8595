#include "CameraCalibrationSubsystem.h"

#include "Subsystems/SubsystemAvailability.h"

void UCameraCalibrationSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}
