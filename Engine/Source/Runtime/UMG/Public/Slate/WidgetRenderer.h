#pragma once

#include "CoreMinimal.h"
#include "Math/Vector2D.h"
#include "Templates/UniquePtr.h"

class FSlateSoftwareRasterizer;
class FSlateWindowElementList;
class SWidget;
class UTextureRenderTarget2D;

/**
 * Draws Slate widgets into render targets.
 *
 * Headless: DrawWidget ticks the widget, collects its draw elements and rasterises them
 * on the calling thread into the target's top-left DrawSize rectangle (clipped to the
 * target), blending in linear colour as the engine's UI does into a render target: colour
 * laid over by each element's alpha, the target's alpha multiplied by one minus it. With
 * gamma correction the written colours are encoded for display (sRGB); without, they are
 * written linear. With target clearing, the DrawSize rectangle is cleared to the target's
 * ClearColor before the widget is drawn; a target cleared to opaque black so ends up with
 * one minus the widgets' coverage in its alpha.
 */
class UMG_API FWidgetRenderer
{
public:
	FWidgetRenderer(bool bUseGammaCorrection = false, bool bInClearTarget = true);
	~FWidgetRenderer();
	FWidgetRenderer(const FWidgetRenderer&) = delete;
	FWidgetRenderer& operator=(const FWidgetRenderer&) = delete;


	/**
	 * Draws Widget into RenderTarget at DrawSize, after advancing it by DeltaTime seconds.
	 * Nothing happens for a null target or widget, or an empty DrawSize.
	 */
	void DrawWidget(UTextureRenderTarget2D* RenderTarget, const TSharedRef<SWidget>& Widget, FVector2D DrawSize, float DeltaTime, bool bDeferRenderTargetUpdate = false);

private:
	bool bUseGammaSpace = false;
	bool bClearTarget = true;
	/** Time handed to the widgets' Tick, advanced by every draw. */
	double CurrentTime = 0.0;
	/** Kept between draws so that drawing every frame does not allocate. */
	TUniquePtr<FSlateWindowElementList> ElementList;
	TUniquePtr<FSlateSoftwareRasterizer> Rasterizer;
};
