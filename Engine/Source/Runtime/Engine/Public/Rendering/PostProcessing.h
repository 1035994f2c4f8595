#pragma once

#include "CoreMinimal.h"
#include "ImageCore.h"

class UCameraComponent;

/**
 * Headless: the post-process step of a camera's picture.
 *
 * The camera's blendables apply in list order. One applies when its Weight is above 0 and its
 * object is a material (or instance) whose base material is MD_PostProcess with an
 * OverlayTexture that is a render target holding pixels. It lays the target over the picture by
 * the target's alpha a, each colour channel becoming picture * (1 - a) + target * a (the target
 * sampled nearest and stretched to the picture), and that result is blended in by
 * clamp(Weight, 0, 1) * clamp(camera's PostProcessBlendWeight, 0, 1). The picture's alpha is kept.
 * Values are display-encoded on both sides, the target's floats read as such: no colour-space conversion.
 */
class ENGINE_API FPostProcessing
{
public:
	/** The camera's ScenePicture (black 1920x1080 when empty) with its blendables applied. */
	static FImage RenderCameraPicture(const UCameraComponent& Camera);
};
