// Lens leg: lens data in the tracking frames and the distortion material on the camera.

#include "QuarnStatusSubsystem.h"

#include "CameraCalibrationSubsystem.h"
#include "CineCameraComponent.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "QuarnLiveLinkComponentController.h"
#include "Status/QuarnLensRules.h"

using namespace QuarnLensRules;
using QuarnStatusFinding::Report;

namespace
{
	using FSnapshot = UQuarnStatusSubsystem::SnapshotInfo;

	// Names the receiving camera, or the subject when nothing receives it.
	FString ReceiverName(const FSnapshot& Snapshot, const FString& SubjectName)
	{
		if (!Snapshot.Controller)
		{
			return TEXT("Subject ") + SubjectName;
		}
		const AActor* Owner = Snapshot.Controller->GetOwner();
		return Owner ? Owner->GetName() : FString();
	}

	bool IsDistorting(const FWeightedBlendable& Blendable)
	{
		const UMaterialInstanceDynamic* Material = Cast<UMaterialInstanceDynamic>(Blendable.Object);
		const UMaterialInterface* ParentMaterial = Material ? Material->Parent : nullptr;
		return ParentMaterial && IsDistortionBlendable(ParentMaterial->GetName(), Blendable.Weight);
	}

	// Judged only where it can be: without a calibration subsystem, camera or cine camera
	// component the snapshot passes.
	FQuarnStatusFinding CameraDistortsSnapshot(const FSnapshot& Snapshot, const FString& SubjectName)
	{
		UCameraCalibrationSubsystem* CalibrationSubsystem = GEngine ? GEngine->GetEngineSubsystem<UCameraCalibrationSubsystem>() : nullptr;
		AActor* Camera = IsValid(CalibrationSubsystem) ? Snapshot.Controller->GetOwner() : nullptr;
		if (!Camera)
		{
			return QuarnStatusFinding::Passed();
		}
		const UCineCameraComponent* CineCamera = Cast<UCineCameraComponent>(Camera->GetComponentByClass(UCineCameraComponent::StaticClass()));
		if (!IsValid(CineCamera))
		{
			return QuarnStatusFinding::Passed();
		}
		const TArray<FWeightedBlendable> Blendables = CineCamera->PostProcessSettings.WeightedBlendables.Array;
		return CameraDistorts(Blendables.ContainsByPredicate(&IsDistorting), SubjectName, Camera->GetName());
	}

	FQuarnStatusFinding CheckSnapshot(const FSnapshot& Snapshot)
	{
		const FString SubjectName = Snapshot.SubjectKey.SubjectName.Name.ToString();
		if (FQuarnStatusFinding Finding = LensDataArrives(Snapshot.FrameData.LensDataLevel, ReceiverName(Snapshot, SubjectName)))
		{
			return Finding;
		}
		if (FQuarnStatusFinding Finding = SomethingReceivesLensData(Snapshot.Controller != nullptr, SubjectName))
		{
			return Finding;
		}
		return CameraDistortsSnapshot(Snapshot, SubjectName);
	}
} // namespace

void UQuarnStatusSubsystem::UpdateLensStatus()
{
	LensStatus = FQuarnStatus();
	if (Report(LensStatus, TrackingIsNotRed(TrackingStatus)))
	{
		return;
	}
	for (const SnapshotInfo& Snapshot : Snapshots)
	{
		if (Report(LensStatus, CheckSnapshot(Snapshot)))
		{
			return;
		}
	}
	LensStatus = QuarnStatusFinding::MakeStatus(FLinearColor::Green, FString());
}
