#include "Engine/TextureRenderTarget2D.h"

#include <algorithm>

void UTextureRenderTarget2D::UpdateResourceImmediate(bool bClearRenderTarget)
{
	const bool bValidSize = SizeX > 0 && SizeY > 0;
	const int32 Count = bValidSize ? SizeX * SizeY : 0;
	if (bClearRenderTarget || Pixels.Num() != Count)
	{
		Pixels.Empty();
		Pixels.SetNum(Count);
		bRowCleared.Empty();
		bRowCleared.SetNum(bValidSize ? SizeY : 0);
		RowClearColor.Empty();
		RowClearColor.SetNum(bValidSize ? SizeY : 0);
		Fill(ClearColor);
	}
}

void UTextureRenderTarget2D::PostLoad()
{
	Super::PostLoad();
	UpdateResourceImmediate(true);
}

void UTextureRenderTarget2D::ResolveRow(int32 Y) const
{
	if (bRowCleared[Y])
	{
		FLinearColor* Row = Pixels.GetData() + static_cast<SIZE_T>(Y) * SizeX;
		std::fill(Row, Row + SizeX, RowClearColor[Y]);
		bRowCleared[Y] = 0;
	}
}

const TArray<FLinearColor>& UTextureRenderTarget2D::GetPixels() const
{
	if (HasPixels())
	{
		for (int32 Y = 0; Y < SizeY; ++Y)
		{
			ResolveRow(Y);
		}
	}
	return Pixels;
}

const FLinearColor* UTextureRenderTarget2D::GetRow(int32 Y) const
{
	check(HasPixels() && Y >= 0 && Y < SizeY);
	ResolveRow(Y);
	return Pixels.GetData() + static_cast<SIZE_T>(Y) * SizeX;
}

FLinearColor* UTextureRenderTarget2D::GetMutableRow(int32 Y)
{
	check(HasPixels() && Y >= 0 && Y < SizeY);
	ResolveRow(Y);
	return Pixels.GetData() + static_cast<SIZE_T>(Y) * SizeX;
}

void UTextureRenderTarget2D::Fill(const FLinearColor& Color)
{
	FillRect(0, 0, SizeX, SizeY, Color);
}

void UTextureRenderTarget2D::FillRect(int32 MinX, int32 MinY, int32 MaxX, int32 MaxY, const FLinearColor& Color)
{
	if (!HasPixels())
	{
		return;
	}
	MinX = FMath::Max(MinX, 0);
	MinY = FMath::Max(MinY, 0);
	MaxX = FMath::Min(MaxX, SizeX);
	MaxY = FMath::Min(MaxY, SizeY);
	if (MinX >= MaxX || MinY >= MaxY)
	{
		return;
	}
	const FLinearColor Stored = ToStoredColor(Color);
	const bool bWholeRows = MinX == 0 && MaxX == SizeX;
	for (int32 Y = MinY; Y < MaxY; ++Y)
	{
		if (bWholeRows)
		{
			bRowCleared[Y] = 1;
			RowClearColor[Y] = Stored;
			continue;
		}
		FLinearColor* Row = GetMutableRow(Y);
		std::fill(Row + MinX, Row + MaxX, Stored);
	}
}
