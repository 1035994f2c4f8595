#pragma once

#include "CoreMinimal.h"
#include "LiveLinkTypes.h"
#include "QuarnLensTypes.h"
#include "QuarnTrackingTypes.h"
#include "LiveLinkQuarnTypes.generated.h"

/** A frame of a Quarn tracking subject: the camera transform, the device's status and the lens. */
USTRUCT(BlueprintType)
struct QUARNTRACKING_API FLiveLinkQuarnFrameData : public FLiveLinkTransformFrameData
{
	GENERATED_BODY()

	/** What the tracking device reports about this frame */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	EQuarnTrackingStatus FrameStatus = EQuarnTrackingStatus::NoData;

	/** How much lens data the frame carries, from 0 (none) to 1 (complete) */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	float LensDataLevel = 0.f;

	/** Raw focus encoder value */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	int32 RawFocus = 0;

	/** Raw zoom encoder value */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	int32 RawZoom = 0;

	/** The lens model for this frame */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Quarn|Tracking")
	FQuarnLensParameters LensParameters;
};

/** A frame type built on the Quarn frame, as another tracking plug-in may declare for its own subjects. */
USTRUCT(BlueprintType)
struct QUARNTRACKING_API FLiveLinkQuarnStudioFrameData : public FLiveLinkQuarnFrameData
{
	GENERATED_BODY()
};
