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
	const UTextureRenderTarget2D* FindOverlay(const FWeightedBlendable& Blendable, EOverlayBlend& OutBlend)
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
		OutBlend = Material->OverlayBlend;
		return Target;
	}

	/** Nearest texel for a pixel: the one under the pixel's centre once the target is stretched over the picture. */
	int32 NearestTexel(int32 Pixel, int32 PictureSize, int32 TargetSize)
	{
		const int64 Texel = (2 * static_cast<int64>(Pixel) + 1) * TargetSize / (2 * static_cast<int64>(PictureSize));
		return static_cast<int32>(std::min<int64>(Texel, TargetSize - 1));
	}

	/** A texel in linear light: the colour (as stored: straight or weighted by coverage) and its coverage. */
	struct FOverlayTexel
	{
		float R = 0.f;
		float G = 0.f;
		float B = 0.f;
		float Coverage = 0.f;
	};

	/** Reads a texel as the material does. Runs of equal texels are the rule, so the last one is remembered. */
	class FOverlayReader
	{
	public:
		FOverlayReader(const UTextureRenderTarget2D& Target, EOverlayBlend InBlend)
			: bSRGB(Target.RenderTargetFormat == ETextureRenderTargetFormat::RTF_RGBA8)
			, Blend(InBlend)
		{
		}

		const FOverlayTexel& Read(const FLinearColor& Texel)
		{
			if (bHasLast && Texel == LastInput)
			{
				return LastOutput;
			}
			LastInput = Texel;
			bHasLast = true;
			LastOutput.R = Decode(Texel.R);
			LastOutput.G = Decode(Texel.G);
			LastOutput.B = Decode(Texel.B);
			const float Alpha = static_cast<float>(Clamp01(Texel.A));
			LastOutput.Coverage = Blend == EOverlayBlend::InvertedAlphaComposite ? 1.f - Alpha : Alpha;
			return LastOutput;
		}

		bool IsPremultiplied() const { return Blend == EOverlayBlend::InvertedAlphaComposite; }

	private:
		float Decode(float Value) const
		{
			const float Clamped = static_cast<float>(Clamp01(Value));
			// An 8-bit target holds exact codes; anything else is decoded the long way.
			return bSRGB ? FLinearColor::SRGBToLinear(Clamped) : Clamped;
		}

		bool bSRGB;
		EOverlayBlend Blend;
		bool bHasLast = false;
		FLinearColor LastInput;
		FOverlayTexel LastOutput;
	};

	void ApplyOverlay(FImage& Picture, const UTextureRenderTarget2D& Target, EOverlayBlend Blend, double Amount)
	{
		const float Weight = static_cast<float>(Amount);
		FOverlayReader Reader(Target, Blend);
		const TArray<FLinearColor>& Texels = Target.GetPixels();
		for (int32 Y = 0; Y < Picture.SizeY; ++Y)
		{
			const int32 TexelRow = NearestTexel(Y, Picture.SizeY, Target.SizeY) * Target.SizeX;
			for (int32 X = 0; X < Picture.SizeX; ++X)
			{
				const FOverlayTexel& Texel = Reader.Read(Texels[TexelRow + NearestTexel(X, Picture.SizeX, Target.SizeX)]);
				const bool bAddsColour = Reader.IsPremultiplied() && (Texel.R > 0.f || Texel.G > 0.f || Texel.B > 0.f);
				if (Texel.Coverage <= 0.f && !bAddsColour)
				{
					// Nothing covers the pixel: it stays exactly as the camera gave it.
					continue;
				}
				FColor& Pixel = Picture.Pixel(X, Y);
				const FLinearColor Linear(Pixel);
				const float Before[3] = {Linear.R, Linear.G, Linear.B};
				const float Colour[3] = {Texel.R, Texel.G, Texel.B};
				uint8* const Channels[3] = {&Pixel.R, &Pixel.G, &Pixel.B};
				for (int32 Channel = 0; Channel < 3; ++Channel)
				{
					const float Kept = Before[Channel] * (1.f - Texel.Coverage);
					const float Composited = Reader.IsPremultiplied() ? Colour[Channel] + Kept : Colour[Channel] * Texel.Coverage + Kept;
					*Channels[Channel] = FLinearColor::LinearToSRGB8(Before[Channel] + (Composited - Before[Channel]) * Weight);
				}
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
		EOverlayBlend Blend = EOverlayBlend::Translucent;
		const UTextureRenderTarget2D* Target = FindOverlay(Blendable, Blend);
		const double Amount = Clamp01(Blendable.Weight) * CameraWeight;
		if (Target && Amount > 0.0)
		{
			ApplyOverlay(Picture, *Target, Blend, Amount);
		}
	}
	return Picture;
}
