#pragma once

#include "CoreMinimal.h"
#include "ImageCore.h"

class UCameraComponent;

/**
 * Headless: the post-process step of a camera's picture.
 *
 * The camera's blendables apply in list order. One applies when its Weight is above 0 and its
 * object is a material (or instance) whose base material is MD_PostProcess with an
 * OverlayTexture that is a render target holding pixels. The target is stretched to the picture
 * and sampled nearest; it is laid over the picture as the material's OverlayBlend says
 * (Translucent: picture * (1 - a) + texture * a; InvertedAlphaComposite: picture * a + texture),
 * and that result is blended in by clamp(Weight, 0, 1) * clamp(camera's PostProcessBlendWeight, 0, 1).
 * Every blend happens in linear light: the picture is decoded from sRGB, an 8-bit target is
 * sampled as sRGB (a float target as linear), and the result is written sRGB-encoded.
 * The picture's alpha is kept.
 */
class ENGINE_API FPostProcessing
{
public:
	/** The camera's ScenePicture (black 1920x1080 when empty) with its blendables applied. */
	static FImage RenderCameraPicture(const UCameraComponent& Camera);
};
