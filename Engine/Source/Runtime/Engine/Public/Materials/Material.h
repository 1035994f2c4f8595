#pragma once

#include "Engine/Texture.h"
#include "MaterialDomain.h"
#include "Materials/MaterialInterface.h"
#include "Material.generated.h"

/** How a post-process material reads its overlay texture's colour and alpha. */
UENUM()
enum class EOverlayBlend : uint8
{
	/** Straight colour, alpha is coverage: picture * (1 - a) + texture * a. */
	Translucent,
	/**
	 * As the widget renderer leaves a target cleared to opaque black: alpha is one minus
	 * coverage (what stays of the picture) and the colour is already weighted by coverage:
	 * picture * a + texture.
	 */
	InvertedAlphaComposite,
};

/**
 * A material asset.
 *
 * Headless: there is no material graph. A post-process material lays OverlayTexture over the
 * camera's picture as OverlayBlend says, in linear light, the texture stretched to the
 * picture's size and sampled nearest; see FPostProcessing.
 */
UCLASS()
class ENGINE_API UMaterial : public UMaterialInterface
{
	GENERATED_BODY()

public:
	/** Where the material is used; only post-process materials change the camera's picture. */
	UPROPERTY(EditAnywhere, Category = "Material")
	EMaterialDomain MaterialDomain = EMaterialDomain::MD_Surface;

	/** Headless stand-in for the material graph: the texture laid over the picture. None = no effect. */
	UPROPERTY(EditAnywhere, Category = "Material")
	UTexture* OverlayTexture = nullptr;

	/** Headless stand-in for the material graph: how the overlay's alpha and colour are read. */
	UPROPERTY(EditAnywhere, Category = "Material")
	EOverlayBlend OverlayBlend = EOverlayBlend::Translucent;

	UMaterial* GetMaterial() override { return this; }
};
