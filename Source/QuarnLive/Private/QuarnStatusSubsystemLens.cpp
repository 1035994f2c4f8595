// Lens leg: lens data in the tracking frames and the distortion material on the camera.

#include "QuarnStatusSubsystem.h"

#include "CameraCalibrationSubsystem.h"
#include "CineCameraComponent.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Misc/CString.h"
#include "QuarnLiveLinkComponentController.h"

namespace
{
	// A frame with less than this carries no lens data.
	constexpr float LensDataThreshold = 1.0f;
	// A distortion blendable applies only when blended in fully (strictly above this).
	constexpr float DistortionBlendWeightThreshold = 0.999f;
	const TCHAR* const DistortionMaterialName = TEXT("M_QuarnDistortionPostProcess");

	bool IsDistortionBlendable(const FWeightedBlendable& Blendable)
	{
		if (!Blendable.Object || !Blendable.Object->IsA(UMaterialInstanceDynamic::StaticClass()))
		{
			return false;
		}
		const UMaterialInterface* ParentMaterial = Cast<UMaterialInstanceDynamic>(Blendable.Object)->Parent;
		return ParentMaterial && FCString::Stricmp(*ParentMaterial->GetName(), DistortionMaterialName) == 0
			&& Blendable.Weight > DistortionBlendWeightThreshold;
	}
}

void UQuarnStatusSubsystem::UpdateLensStatus()
{
	LensStatus = FQuarnStatus();

	if (TrackingStatus.Color == FLinearColor::Red)
	{
		LensStatus.Color = FLinearColor::Red;
		LensStatus.Message = TEXT("Tracking data is Red: Tracking data is required for lens distortion");
		return;
	}

	for (const SnapshotInfo& Snapshot : Snapshots)
	{
		const FString SubjectName = Snapshot.SubjectKey.SubjectName.Name.ToString();

		if (Snapshot.FrameData.LensDataLevel < LensDataThreshold)
		{
			FString Receiver;
			if (!Snapshot.Controller)
			{
				Receiver = TEXT("Subject ") + SubjectName;
			}
			else if (const AActor* Owner = Snapshot.Controller->GetOwner())
			{
				Receiver = Owner->GetName();
			}
			LensStatus.Color = FLinearColor::Yellow;
			LensStatus.Message = FString::Printf(
				TEXT("No lens data (this may not be a fault) in the tracking frame: %s is not receiving lens data. If you have a lens file, ensure it is selected in the Zentrels panel"),
				*Receiver);
			return;
		}

		if (!Snapshot.Controller)
		{
			LensStatus.Color = FLinearColor::Yellow;
			LensStatus.Message = FString::Printf(TEXT("LiveLink subject %s has lens data, but nothing in the scene is receiving"), *SubjectName);
			return;
		}

		UCameraCalibrationSubsystem* CalibrationSubsystem = GEngine ? GEngine->GetEngineSubsystem<UCameraCalibrationSubsystem>() : nullptr;
		if (!IsValid(CalibrationSubsystem))
		{
			continue;
		}

		AActor* Camera = Snapshot.Controller->GetOwner();
		if (!Camera)
		{
			continue;
		}
		UActorComponent* Component = Camera->GetComponentByClass(UCineCameraComponent::StaticClass());
		if (!IsValid(Component) || !Component->IsA(UCineCameraComponent::StaticClass()))
		{
			continue;
		}
		const UCineCameraComponent* CineCamera = static_cast<const UCineCameraComponent*>(Component);

		const TArray<FWeightedBlendable> Blendables = CineCamera->PostProcessSettings.WeightedBlendables.Array;
		if (Blendables.ContainsByPredicate(&IsDistortionBlendable))
		{
			continue;
		}

		LensStatus.Color = FLinearColor::Yellow;
		LensStatus.Message = FString::Printf(
			TEXT("Tracking frame has lens data but not distorting for subject %s on camera %s. Make sure the Post-Process material is enabled on the Camera Component, and 'Apply Distortion' is checked on the Lens Distortion Component"),
			*SubjectName, *Camera->GetName());
		return;
	}

	LensStatus.Color = FLinearColor::Green;
	LensStatus.Message = FString();
}
