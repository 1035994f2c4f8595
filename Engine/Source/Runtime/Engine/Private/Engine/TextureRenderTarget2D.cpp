#include "Engine/TextureRenderTarget2D.h"

namespace
{
	float QuantizeChannel(float Value)
	{
		const float Clamped = Value < 0.f ? 0.f : (Value > 1.f ? 1.f : Value);
		return static_cast<float>(FMath::RoundToInt(Clamped * 255.f)) / 255.f;
	}
} // namespace

void UTextureRenderTarget2D::InitAutoFormat(uint32 InSizeX, uint32 InSizeY)
{
	SizeX = static_cast<int32>(InSizeX);
	SizeY = static_cast<int32>(InSizeY);
	UpdateResourceImmediate(true);
}

void UTextureRenderTarget2D::UpdateResourceImmediate(bool bClearRenderTarget)
{
	const int32 Count = SizeX > 0 && SizeY > 0 ? SizeX * SizeY : 0;
	if (bClearRenderTarget || Pixels.Num() != Count)
	{
		Pixels.Empty();
		Pixels.SetNum(Count);
		Fill(ClearColor);
	}
}

void UTextureRenderTarget2D::PostLoad()
{
	Super::PostLoad();
	UpdateResourceImmediate(true);
}

FLinearColor UTextureRenderTarget2D::GetPixel(int32 X, int32 Y) const
{
	if (X < 0 || Y < 0 || X >= SizeX || Y >= SizeY || Pixels.Num() != SizeX * SizeY)
	{
		return FLinearColor::Transparent;
	}
	return Pixels[Y * SizeX + X];
}

void UTextureRenderTarget2D::SetPixel(int32 X, int32 Y, const FLinearColor& Color)
{
	if (X < 0 || Y < 0 || X >= SizeX || Y >= SizeY || Pixels.Num() != SizeX * SizeY)
	{
		return;
	}
	Pixels[Y * SizeX + X] = ToStoredColor(Color);
}

void UTextureRenderTarget2D::Fill(const FLinearColor& Color)
{
	const FLinearColor Stored = ToStoredColor(Color);
	for (FLinearColor& Pixel : Pixels)
	{
		Pixel = Stored;
	}
}

FLinearColor UTextureRenderTarget2D::ToStoredColor(const FLinearColor& Color) const
{
	if (RenderTargetFormat == ETextureRenderTargetFormat::RTF_RGBA8)
	{
		return FLinearColor(QuantizeChannel(Color.R), QuantizeChannel(Color.G), QuantizeChannel(Color.B), QuantizeChannel(Color.A));
	}
	return Color;
}
