#include "Status/QuarnLensRules.h"

#include "Misc/CString.h"

namespace QuarnLensRules
{
	using namespace QuarnStatusFinding;

	namespace
	{
		// A frame with less than this carries no lens data.
		constexpr float LensDataThreshold = 1.0f;
		// A distortion blendable applies only when blended in fully (strictly above this).
		constexpr float DistortionBlendWeightThreshold = 0.999f;
		const TCHAR* const DistortionMaterialName = TEXT("M_QuarnDistortionPostProcess");
	} // namespace

	FQuarnStatusFinding TrackingIsNotRed(const FQuarnStatus& TrackingStatus)
	{
		return TrackingStatus.Color == FLinearColor::Red ? Red(TEXT("Tracking data is Red: Tracking data is required for lens distortion")) : Passed();
	}

	FQuarnStatusFinding LensDataArrives(float LensDataLevel, const FString& ReceiverName)
	{
		if (LensDataLevel < LensDataThreshold)
		{
			return Yellow(FString::Printf(
				TEXT("No lens data (this may not be a fault) in the tracking frame: %s is not receiving lens data. If you have a lens file, ensure it is selected in the Zentrels panel"),
				*ReceiverName));
		}
		return Passed();
	}

	FQuarnStatusFinding SomethingReceivesLensData(bool bHasReceiver, const FString& SubjectName)
	{
		return bHasReceiver ? Passed() : Yellow(FString::Printf(TEXT("LiveLink subject %s has lens data, but nothing in the scene is receiving"), *SubjectName));
	}

	FQuarnStatusFinding CameraDistorts(bool bDistorting, const FString& SubjectName, const FString& CameraName)
	{
		if (bDistorting)
		{
			return Passed();
		}
		return Yellow(FString::Printf(
			TEXT("Tracking frame has lens data but not distorting for subject %s on camera %s. Make sure the Post-Process material is enabled on the Camera Component, and 'Apply Distortion' is checked on the Lens Distortion Component"),
			*SubjectName, *CameraName));
	}

	bool IsDistortionBlendable(const FString& ParentMaterialName, float Weight)
	{
		return FCString::Stricmp(*ParentMaterialName, DistortionMaterialName) == 0 && Weight > DistortionBlendWeightThreshold;
	}
} // namespace QuarnLensRules
