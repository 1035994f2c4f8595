#pragma once

#include "Components/ActorComponent.h"
#include "CoreMinimal.h"
#include "QuarnLensDistortionComponent.generated.h"

/** True when the lens data is good again, false when it went bad. */
DECLARE_MULTICAST_DELEGATE_OneParam(FOnLensStatusChangedInPIE, bool);

/** Applies the tracked lens's distortion to its camera's picture. */
UCLASS()
class QUARNLENSDISTORTION_API UQuarnLensDistortionComponent : public UActorComponent
{
	GENERATED_BODY()

public:
	/** Distort the camera picture with the tracked lens parameters */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	bool bApplyDistortion = true;

	/** Raised during play-in-editor when the lens status changes. */
	FOnLensStatusChangedInPIE OnLensStatusChangedInPIE;

	/** Broadcasts OnLensStatusChangedInPIE, as the real component does when its lens data changes. */
	void RaiseLensStatusChangedInPIE(bool bOk) { OnLensStatusChangedInPIE.Broadcast(bOk); }
};
