#pragma once

#include "Roles/LiveLinkTransformRole.h"
#include "LiveLinkCameraRole.generated.h"

/** A subject that carries a camera: its transform and lens. */
UCLASS()
class LIVELINKINTERFACE_API ULiveLinkCameraRole : public ULiveLinkTransformRole
{
	GENERATED_BODY()
};
