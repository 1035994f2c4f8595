#pragma once

#include "LiveLinkRole.h"
#include "LiveLinkTransformRole.generated.h"

/** A subject that carries a transform per frame. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkTransformRole : public ULiveLinkRole
{
	GENERATED_BODY()
};
