#pragma once

#include "CoreMinimal.h"
#include "MaterialDomain.generated.h"

/** Where a material is used. */
UENUM()
enum class EMaterialDomain : uint8
{
	/** On the surfaces of the scene. */
	MD_Surface,
	/** On the camera's picture, as a post-process blendable. */
	MD_PostProcess,
};
