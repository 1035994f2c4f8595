#include "Slate/WidgetRenderer.h"

#include "Engine/TextureRenderTarget2D.h"
#include "Layout/Geometry.h"
#include "Rendering/DrawElements.h"
#include "SlateSoftwareRasterizer.h"
#include "Widgets/SWidget.h"

FWidgetRenderer::FWidgetRenderer(bool bUseGammaCorrection, bool bInClearTarget)
	: bUseGammaSpace(bUseGammaCorrection)
	, bClearTarget(bInClearTarget)
	, ElementList(MakeUnique<FSlateWindowElementList>())
	, Rasterizer(MakeUnique<FSlateSoftwareRasterizer>())
{
}

FWidgetRenderer::~FWidgetRenderer() = default;

void FWidgetRenderer::DrawWidget(UTextureRenderTarget2D* RenderTarget, const TSharedRef<SWidget>& Widget, FVector2D DrawSize, float DeltaTime,
	bool bDeferRenderTargetUpdate)
{
	// Headless drawing finishes before returning, so there is no deferred update to honour.
	if (!RenderTarget || DrawSize.X <= 0.0 || DrawSize.Y <= 0.0)
	{
		return;
	}
	CurrentTime += DeltaTime;
	const FGeometry WindowGeometry = FGeometry::MakeRoot(DrawSize);
	Widget->Tick(WindowGeometry, CurrentTime, DeltaTime);

	ElementList->Reset();
	Widget->OnPaint(WindowGeometry, *ElementList, 0);

	FSlateSoftwareRasterizer::FDrawParams Params;
	Params.Width = FMath::RoundToInt(FMath::Min(DrawSize.X, static_cast<double>(RenderTarget->GetSurfaceWidth())));
	Params.Height = FMath::RoundToInt(FMath::Min(DrawSize.Y, static_cast<double>(RenderTarget->GetSurfaceHeight())));
	Params.bClear = bClearTarget;
	Params.bEncodeSRGB = bUseGammaSpace;
	Rasterizer->Draw(*RenderTarget, *ElementList, Params);
}
