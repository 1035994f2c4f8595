#pragma once

#include "Engine/Texture.h"
#include "MaterialDomain.h"
#include "Materials/MaterialInterface.h"
#include "Material.generated.h"

/**
 * A material asset.
 *
 * Headless: there is no material graph. A post-process material lays OverlayTexture over the
 * camera's picture by the texture's alpha (picture * (1 - a) + texture * a, sampled nearest and
 * stretched to the picture's size); see FPostProcessing.
 */
UCLASS()
class ENGINE_API UMaterial : public UMaterialInterface
{
	GENERATED_BODY()

public:
	/** Where the material is used; only post-process materials change the camera's picture. */
	UPROPERTY(EditAnywhere, Category="Material")
	EMaterialDomain MaterialDomain = EMaterialDomain::MD_Surface;

	/** Headless stand-in for the material graph: the texture laid over the picture by its alpha. None = no effect. */
	UPROPERTY(EditAnywhere, Category="Material")
	UTexture* OverlayTexture = nullptr;

	UMaterial* GetMaterial() override { return this; }
};
