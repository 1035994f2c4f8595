#pragma once

#include "CoreMinimal.h"
#include "LiveLinkRole.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"
#include "LiveLinkSubjectSettings.generated.h"

/** The settings of a Live Link subject. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkSubjectSettings : public UObject
{
	GENERATED_BODY()

public:
	/** The role of the subject's data. */
	UPROPERTY(VisibleAnywhere, Category = "LiveLink")
	TSubclassOf<ULiveLinkRole> Role;
};
