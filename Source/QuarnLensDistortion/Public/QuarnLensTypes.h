#pragma once

#include "CoreMinimal.h"
#include "QuarnLensTypes.generated.h"

/** The lens model of one frame: distortion coefficients and the lens state they belong to. */
USTRUCT(BlueprintType)
struct QUARNLENSDISTORTION_API FQuarnLensParameters
{
	GENERATED_BODY()

	/** First radial distortion coefficient */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float K1 = 0.f;

	/** Second radial distortion coefficient */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float K2 = 0.f;

	/** First tangential distortion coefficient */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float P1 = 0.f;

	/** Second tangential distortion coefficient */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float P2 = 0.f;

	/** Focal length in millimetres */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float FocalLength = 0.f;

	/** Focus distance the parameters were measured at */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float Focus = 0.f;

	/** Zoom position the parameters were measured at */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Quarn|Lens")
	float Zoom = 0.f;
};
