#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSubjectSettings.h"
#include "QuarnLiveLinkSubjectSettings.generated.h"

/** The settings of a Quarn tracking subject. */
UCLASS()
class QUARNTRACKING_API UQuarnLiveLinkSubjectSettings : public ULiveLinkSubjectSettings
{
	GENERATED_BODY()

public:
	/** The tracking status of the subject, as text for the Live Link panel */
	UPROPERTY(VisibleAnywhere, Category = "Quarn|Tracking")
	FString TrackingStatusText;
};
