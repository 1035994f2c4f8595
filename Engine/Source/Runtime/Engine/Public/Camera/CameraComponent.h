#pragma once

#include "Components/SceneComponent.h"
#include "Engine/Scene.h"
#include "ImageCore.h"
#include "CameraComponent.generated.h"

/** A point of view, with the post-process settings applied to its picture. */
UCLASS()
class ENGINE_API UCameraComponent : public USceneComponent
{
	GENERATED_BODY()

public:
	/** Post-process settings of this camera, blendables (post-process materials) included. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "PostProcess")
	FPostProcessSettings PostProcessSettings;

	/** How strongly PostProcessSettings apply: 0 not at all, 1 fully. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "PostProcess")
	float PostProcessBlendWeight = 1.f;

	/**
	 * Headless: the scene as this camera sees it, before post-processing; the host sets it.
	 * Empty stands for a black 1920x1080 picture. FPostProcessing::RenderCameraPicture gives the final picture.
	 */
	FImage ScenePicture;
};
