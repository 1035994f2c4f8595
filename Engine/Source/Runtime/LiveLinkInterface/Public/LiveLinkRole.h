#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "LiveLinkRole.generated.h"

/** What kind of data a Live Link subject carries. */
UCLASS(Abstract)
class LIVELINKINTERFACE_API ULiveLinkRole : public UObject
{
	GENERATED_BODY()
};
