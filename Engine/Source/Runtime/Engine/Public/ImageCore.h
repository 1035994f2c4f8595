#pragma once

#include "CoreMinimal.h"

/** An 8-bit RGBA picture, row-major from the top-left corner; channels as stored (display-encoded). */
struct ENGINE_API FImage
{
	int32 SizeX = 0;
	int32 SizeY = 0;
	TArray<FColor> RawData;

	FImage() = default;
	FImage(int32 InSizeX, int32 InSizeY, const FColor& Fill = FColor(0, 0, 0, 255));

	bool IsEmpty() const { return SizeX <= 0 || SizeY <= 0; }
	FColor& Pixel(int32 X, int32 Y) { return RawData[Y * SizeX + X]; }
	const FColor& Pixel(int32 X, int32 Y) const { return RawData[Y * SizeX + X]; }
};
