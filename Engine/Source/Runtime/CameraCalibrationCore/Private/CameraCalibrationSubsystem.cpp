#include "CameraCalibrationSubsystem.h"

#include <atomic>

namespace
{
	std::atomic<bool> bCreationEnabled = true;
}

bool UCameraCalibrationSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return bCreationEnabled;
}

void UCameraCalibrationSubsystem::SetCreationEnabled(bool bEnabled)
{
	bCreationEnabled = bEnabled;
}

bool UCameraCalibrationSubsystem::IsCreationEnabled()
{
	return bCreationEnabled;
}
