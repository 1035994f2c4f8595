#pragma once

// The lens leg's checks, in the order they apply: the tracking status first, then for each
// evaluated subject its lens data, its receiver and the camera's distortion material.

#include "Status/QuarnStatusFinding.h"

namespace QuarnLensRules
{
	/** Lens distortion needs tracking data: a Red tracking status ends the lens leg at once. */
	QUARNLIVE_API FQuarnStatusFinding TrackingIsNotRed(const FQuarnStatus& TrackingStatus);
	/** @param ReceiverName the actor that receives the subject, or "Subject <name>" when nothing does */
	QUARNLIVE_API FQuarnStatusFinding LensDataArrives(float LensDataLevel, const FString& ReceiverName);
	QUARNLIVE_API FQuarnStatusFinding SomethingReceivesLensData(bool bHasReceiver, const FString& SubjectName);
	QUARNLIVE_API FQuarnStatusFinding CameraDistorts(bool bDistorting, const FString& SubjectName, const FString& CameraName);
	/** A blendable distorts when it is the distortion material, blended in fully. */
	QUARNLIVE_API bool IsDistortionBlendable(const FString& ParentMaterialName, float Weight);
} // namespace QuarnLensRules
