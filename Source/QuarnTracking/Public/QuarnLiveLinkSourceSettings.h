#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSourceSettings.h"
#include "QuarnLiveLinkSourceSettings.generated.h"

/** The settings of a Quarn tracking source. */
UCLASS()
class QUARNTRACKING_API UQuarnLiveLinkSourceSettings : public ULiveLinkSourceSettings
{
	GENERATED_BODY()
};
