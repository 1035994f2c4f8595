#pragma once

#include "CoreMinimal.h"
#include "Fonts/FontCache.h"
#include "ImageSampler.h"
#include "RoundedRectCoverage.h"

class FSlateDrawElement;
class FSlateWindowElementList;
class UTextureRenderTarget2D;

/** A rectangle of whole pixels, [MinX, MaxX) x [MinY, MaxY). */
struct FPixelRect
{
	int32 MinX = 0;
	int32 MinY = 0;
	int32 MaxX = 0;
	int32 MaxY = 0;

	bool IsEmpty() const { return MaxX <= MinX || MaxY <= MinY; }
	int32 Width() const { return MaxX - MinX; }
	int32 Height() const { return MaxY - MinY; }
	bool operator==(const FPixelRect& Other) const = default;

	FPixelRect Intersect(const FPixelRect& Other) const;
	/** The smallest rectangle holding both; an empty side is ignored. */
	FPixelRect Union(const FPixelRect& Other) const;
};

/**
 * Turns draw elements into pixels of a render target on the calling thread.
 *
 * Blending is the engine's for UI drawn into a render target: each element's colour is laid
 * over the target's colour by the element's alpha, in linear light, and the target's alpha is
 * multiplied by one minus the element's alpha. A target cleared to opaque black so ends up
 * holding the widgets' colour already weighted by their coverage, and in its alpha one minus
 * their coverage: what a compositing material lets through of the picture beneath.
 *
 * Elements are composited into a working area that spans only the pixels they touch, so a
 * widget that covers a small part of a large target costs little; then the touched pixels are
 * written to the target, display-encoded on request. Keeps its buffers between draws.
 */
class FSlateSoftwareRasterizer
{
public:
	struct FDrawParams
	{
		/** The drawn rectangle, from the target's top-left corner; clipped to the target. */
		int32 Width = 0;
		int32 Height = 0;
		/** Clear the drawn rectangle to the target's ClearColor first. */
		bool bClear = true;
		/** Store sRGB-encoded colours (alpha stays linear) instead of linear ones. */
		bool bEncodeSRGB = false;
	};

	void Draw(UTextureRenderTarget2D& Target, const FSlateWindowElementList& ElementList, const FDrawParams& Params);

private:
	struct FPreparedElement
	{
		const FSlateDrawElement* Element = nullptr;
		/** The element's own rectangle before clipping (box and image), between pixels. */
		FRoundedRectCoverage Shape;
		/** What it may change, clipped. */
		FPixelRect Bounds;
		int32 FirstGlyph = 0;
		int32 NumGlyphs = 0;
		int32 PenX = 0;
		int32 BaselineY = 0;
	};

	bool Prepare(const FSlateDrawElement& Element, const FPixelRect& Clip, FPreparedElement& OutPrepared);
	void LoadWorkingArea(const UTextureRenderTarget2D& Target, bool bClear, bool bDecodeSRGB);
	void StoreWorkingArea(UTextureRenderTarget2D& Target, bool bCleared, bool bEncodeSRGB) const;

	void DrawBox(const FPreparedElement& Prepared);
	void DrawText(const FPreparedElement& Prepared);
	void DrawImage(const FPreparedElement& Prepared);
	/** Lays Premultiplied (colour times alpha, and alpha) over the pixels [X0, X1) of row Y of the working area. */
	void BlendSpan(int32 Y, int32 X0, int32 X1, const FLinearColor& Premultiplied);

	TArray<FPreparedElement> Prepared;
	TArray<int32> DrawOrder;
	TArray<FSlateGlyphPlacement> Glyphs;
	FImageSampler Images;

	FPixelRect WorkingRect;
	/** Linear colour and the target's alpha, row-major over WorkingRect. */
	TArray<FLinearColor> Working;
	/** Nonzero where an element changed the working pixel. */
	TArray<uint8> Written;
};
