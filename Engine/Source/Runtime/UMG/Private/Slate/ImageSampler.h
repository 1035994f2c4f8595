#pragma once

#include "CoreMinimal.h"
#include "ImageCore.h"
#include "Templates/SharedPointer.h"

#include <unordered_map>

/**
 * Images ready for filtered sampling: decoded to linear light with premultiplied alpha (so
 * transparent texels do not darken their neighbours), with box-filtered halvings for
 * drawing an image at less than half its size. Kept between draws; an image unused for a
 * while is dropped.
 */
class FImageSampler
{
public:
	/** One level: premultiplied linear texels, row-major. */
	struct FLevel
	{
		int32 SizeX = 0;
		int32 SizeY = 0;
		TArray<FLinearColor> Texels;

		/** Bilinear sample at texel coordinates (texel centres at .5), clamped to the edges. */
		FLinearColor Sample(double U, double V) const;
	};

	/** Marks the start of a draw; images not used for a number of draws are let go. */
	void BeginDraw();

	/**
	 * The level to sample when Image is drawn at DrawWidth x DrawHeight pixels: the original, or
	 * the smallest halving that is still at least as large as the drawing on its more shrunk axis.
	 */
	const FLevel& FindLevel(const TSharedPtr<const FImage>& Image, double DrawWidth, double DrawHeight);

private:
	struct FPrepared
	{
		/** Keeps the image, and so its address, alive while it is a key. */
		TSharedPtr<const FImage> Image;
		TArray<FLevel> Levels;
		uint64 LastUsed = 0;
	};

	static void Prepare(const FImage& Image, FPrepared& OutPrepared);

	std::unordered_map<const FImage*, FPrepared> Images;
	uint64 DrawCount = 0;
};
