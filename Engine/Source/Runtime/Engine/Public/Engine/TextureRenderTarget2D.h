#pragma once

#include "CoreMinimal.h"
#include "Engine/Texture.h"
#include "TextureRenderTarget2D.generated.h"

/** How a render target stores its pixels. */
UENUM()
enum class ETextureRenderTargetFormat : uint8
{
	/** 8 bits per channel. */
	RTF_RGBA8,
	/** 16-bit float per channel. */
	RTF_RGBA16f,
};

/**
 * A texture that can be drawn into at run time.
 *
 * Headless: the pixels are kept on the game thread, row by row from the top-left corner,
 * one FLinearColor each, holding exactly the values written. The target stores what it is
 * given: a writer that gamma-corrects (the widget renderer with gamma correction on) stores
 * display-encoded values, and exporting the target writes them out unchanged. RTF_RGBA8
 * rounds every written channel to 8 bits, as the real surface would, and a material samples
 * it as sRGB; float formats are sampled as linear.
 *
 * UI drawn into a target leaves one minus its coverage in the alpha when the target was
 * cleared to an opaque colour (see FWidgetRenderer); a material that composites such a target
 * reads it that way (EOverlayBlend::InvertedAlphaComposite).
 *
 * Clears are fast, as a GPU's are: a row cleared across its whole width holds one colour
 * until a pixel of it is written or read, so clearing costs a flag per row, not a pass
 * over the pixels.
 */
UCLASS()
class ENGINE_API UTextureRenderTarget2D : public UTexture
{
	GENERATED_BODY()

public:
	/** Width in pixels. */
	UPROPERTY(EditAnywhere, Category = "TextureRenderTarget2D")
	int32 SizeX = 1;

	/** Height in pixels. */
	UPROPERTY(EditAnywhere, Category = "TextureRenderTarget2D")
	int32 SizeY = 1;

	/** The colour the target holds when its resource is made or reset. */
	UPROPERTY(EditAnywhere, Category = "TextureRenderTarget2D")
	FLinearColor ClearColor = FLinearColor(0.f, 1.f, 0.f, 1.f);

	/** The storage format of the pixels. */
	UPROPERTY(EditAnywhere, Category = "TextureRenderTarget2D")
	ETextureRenderTargetFormat RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA16f;

	/** Makes the pixels for the current size, filled with ClearColor. */
	void PostLoad() override;

	int32 GetSurfaceWidth() const { return SizeX; }
	int32 GetSurfaceHeight() const { return SizeY; }

	/** Whether the pixels exist (SizeX * SizeY of them). */
	bool HasPixels() const { return SizeX > 0 && SizeY > 0 && Pixels.Num() == SizeX * SizeY; }
	/** Headless: the pixels, SizeX * SizeY of them, row-major from the top-left corner. */
	const TArray<FLinearColor>& GetPixels() const;
	/** Sets every pixel to Color, in the target's format. */
	void Fill(const FLinearColor& Color);
	/** Sets the pixels of [MinX, MaxX) x [MinY, MaxY), clipped to the target, to Color in the target's format. */
	void FillRect(int32 MinX, int32 MinY, int32 MaxX, int32 MaxY, const FLinearColor& Color);
	/** Color as the target's format stores it; inline, as writers call it per pixel. */
	FLinearColor ToStoredColor(const FLinearColor& Color) const
	{
		if (RenderTargetFormat != ETextureRenderTargetFormat::RTF_RGBA8)
		{
			return Color;
		}
		return FLinearColor(QuantizeToEightBits(Color.R), QuantizeToEightBits(Color.G), QuantizeToEightBits(Color.B), QuantizeToEightBits(Color.A));
	}
	/** Row Y (0 <= Y < SizeY) for reading, SizeX pixels; valid until the target is written. */
	const FLinearColor* GetRow(int32 Y) const;
	/** Row Y for writing; values written must already be in stored form. */
	FLinearColor* GetMutableRow(int32 Y);

private:
	/** Makes the pixels anew for the current size, filled with ClearColor. */
	void UpdateResourceImmediate(bool bClearRenderTarget = true);

	static float QuantizeToEightBits(float Value)
	{
		const float Clamped = Value < 0.f ? 0.f : (Value > 1.f ? 1.f : Value);
		return static_cast<float>(static_cast<int32>(Clamped * 255.f + 0.5f)) / 255.f;
	}

	/** Writes out a row that still holds its clear colour only as a flag. */
	void ResolveRow(int32 Y) const;

	mutable TArray<FLinearColor> Pixels;
	/** Per row: it holds RowClearColor across its whole width, not yet written out. */
	mutable TArray<uint8> bRowCleared;
	TArray<FLinearColor> RowClearColor;
};
