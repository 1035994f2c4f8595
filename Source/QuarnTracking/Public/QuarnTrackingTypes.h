#pragma once

#include "CoreMinimal.h"
#include "QuarnTrackingTypes.generated.h"

/** What a tracking device reports about a frame. */
UENUM(BlueprintType)
enum class EQuarnTrackingStatus : uint8
{
	NotTracking UMETA(DisplayName = "Not Tracking"),
	OpticalGood UMETA(DisplayName = "Optical Good"),
	OpticalExcellent UMETA(DisplayName = "Optical Excellent"),
	OpticalFair UMETA(DisplayName = "Optical Fair"),
	OpticalPoor UMETA(DisplayName = "Optical Poor"),
	Lost UMETA(DisplayName = "Lost"),
	NoMarkers UMETA(DisplayName = "No Markers"),
	CameraError UMETA(DisplayName = "Camera Error"),
	CalibrationError UMETA(DisplayName = "Calibration Error"),
	Overheating UMETA(DisplayName = "Overheating"),
	SyncError UMETA(DisplayName = "Sync Error"),
	NetworkError UMETA(DisplayName = "Network Error"),
	InertialOnly UMETA(DisplayName = "Inertial Only"),
	Initialising UMETA(DisplayName = "Initialising"),
	HardwareFault UMETA(DisplayName = "Hardware Fault"),
	NoData UMETA(DisplayName = "No Data"),
	Simulated UMETA(DisplayName = "Simulated"),
	LicenceError UMETA(DisplayName = "Licence Error"),
	Recording UMETA(DisplayName = "Recording"),
};
