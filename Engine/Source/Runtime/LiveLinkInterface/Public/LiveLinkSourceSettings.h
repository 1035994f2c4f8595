#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "LiveLinkSourceSettings.generated.h"

/** The settings of a Live Link source. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkSourceSettings : public UObject
{
	GENERATED_BODY()
};
