#pragma once

#include "Components/ActorComponent.h"
#include "CoreMinimal.h"
#include "LiveLinkTypes.h"
#include "QuarnLiveLinkComponentController.generated.h"

/** True when tracking is good again, false when it went bad. */
DECLARE_MULTICAST_DELEGATE_OneParam(FOnTrackingStatusChangedInPIE, bool);

/** Drives its actor from a Quarn tracking subject. */
UCLASS()
class QUARNTRACKING_API UQuarnLiveLinkComponentController : public UActorComponent
{
	GENERATED_BODY()

public:
	/** The Live Link subject that drives this actor */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	FLiveLinkSubjectName ControlledSubject;

	/** Raised during play-in-editor when the tracking status changes. */
	FOnTrackingStatusChangedInPIE OnTrackingStatusChangedInPIE;

	/** Broadcasts OnTrackingStatusChangedInPIE, as the real controller does when its subject's status changes. */
	void RaiseTrackingStatusChangedInPIE(bool bOk) { OnTrackingStatusChangedInPIE.Broadcast(bOk); }
};
