// "cameraCalibration": whether the engine has the camera calibration subsystem at all.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "CameraCalibrationSubsystem.h"

namespace quarnlive::state
{
	const Section& cameraCalibrationSection()
	{
		static const Section section("cameraCalibration", {
															  Field{"present", true, isBool(), [](const nlohmann::ordered_json& value) { UCameraCalibrationSubsystem::SetAvailable(value.get<bool>()); }, true},
														  });
		return section;
	}
} // namespace quarnlive::state
