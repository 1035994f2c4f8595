#include "Rendering/PostProcessing.h"

#include "Camera/CameraComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Materials/Material.h"
#include "Materials/MaterialInterface.h"

#include <algorithm>
#include <cmath>

namespace
{
	constexpr int32 DefaultPictureSizeX = 1920;
	constexpr int32 DefaultPictureSizeY = 1080;

	double Clamp01(double Value)
	{
		// NaN counts as 0: a broken weight or texel must not poison the picture.
		return Value > 0.0 ? std::min(Value, 1.0) : 0.0;
	}

	/** The overlay a blendable lays over the picture, or null when it has no effect. */
	const UTextureRenderTarget2D* FindOverlay(const FWeightedBlendable& Blendable)
	{
		if (!(Blendable.Weight > 0.f))
		{
			return nullptr;
		}
		UMaterialInterface* MaterialInterface = Cast<UMaterialInterface>(Blendable.Object);
		if (!IsValid(MaterialInterface))
		{
			return nullptr;
		}
		const UMaterial* Material = MaterialInterface->GetMaterial();
		if (!IsValid(Material) || Material->MaterialDomain != EMaterialDomain::MD_PostProcess)
		{
			return nullptr;
		}
		const UTextureRenderTarget2D* Target = Cast<UTextureRenderTarget2D>(Material->OverlayTexture);
		if (!IsValid(Target) || Target->SizeX <= 0 || Target->SizeY <= 0 || Target->GetPixels().Num() != Target->SizeX * Target->SizeY)
		{
			return nullptr;
		}
		return Target;
	}

	/** Nearest texel for a pixel: the one under the pixel's centre once the target is stretched over the picture. */
	int32 NearestTexel(int32 Pixel, int32 PictureSize, int32 TargetSize)
	{
		const int64 Texel = (2 * static_cast<int64>(Pixel) + 1) * TargetSize / (2 * static_cast<int64>(PictureSize));
		return static_cast<int32>(std::min<int64>(Texel, TargetSize - 1));
	}

	uint8 BlendChannel(uint8 Before, float Texel, double Alpha, double Amount)
	{
		const double Picture = Before;
		const double Composited = Picture * (1.0 - Alpha) + Clamp01(Texel) * 255.0 * Alpha;
		const double After = Picture + (Composited - Picture) * Amount;
		return static_cast<uint8>(std::clamp(std::lround(After), 0L, 255L));
	}

	void ApplyOverlay(FImage& Picture, const UTextureRenderTarget2D& Target, double Amount)
	{
		const TArray<FLinearColor>& Texels = Target.GetPixels();
		for (int32 Y = 0; Y < Picture.SizeY; ++Y)
		{
			const int32 TexelRow = NearestTexel(Y, Picture.SizeY, Target.SizeY) * Target.SizeX;
			for (int32 X = 0; X < Picture.SizeX; ++X)
			{
				const FLinearColor& Texel = Texels[TexelRow + NearestTexel(X, Picture.SizeX, Target.SizeX)];
				const double Alpha = Clamp01(Texel.A);
				FColor& Pixel = Picture.Pixel(X, Y);
				Pixel.R = BlendChannel(Pixel.R, Texel.R, Alpha, Amount);
				Pixel.G = BlendChannel(Pixel.G, Texel.G, Alpha, Amount);
				Pixel.B = BlendChannel(Pixel.B, Texel.B, Alpha, Amount);
			}
		}
	}
} // namespace

FImage FPostProcessing::RenderCameraPicture(const UCameraComponent& Camera)
{
	FImage Picture = Camera.ScenePicture.IsEmpty() ? FImage(DefaultPictureSizeX, DefaultPictureSizeY) : Camera.ScenePicture;
	if (Picture.RawData.Num() != Picture.SizeX * Picture.SizeY)
	{
		// A host-made picture whose pixels do not match its size is shown as given, not read past its end.
		return Picture;
	}
	const double CameraWeight = Clamp01(Camera.PostProcessBlendWeight);
	for (const FWeightedBlendable& Blendable : Camera.PostProcessSettings.WeightedBlendables.Array)
	{
		const UTextureRenderTarget2D* Target = FindOverlay(Blendable);
		const double Amount = Clamp01(Blendable.Weight) * CameraWeight;
		if (Target && Amount > 0.0)
		{
			ApplyOverlay(Picture, *Target, Amount);
		}
	}
	return Picture;
}
