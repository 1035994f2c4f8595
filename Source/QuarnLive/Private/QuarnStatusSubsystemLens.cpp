// Lens leg: lens data in the tracking frames and the distortion material on the camera.

#include "QuarnStatusSubsystem.h"

void UQuarnStatusSubsystem::UpdateLensStatus()
{
	LensStatus = FQuarnStatus();
}
