#include "SlateSoftwareRasterizer.h"

#include "Engine/TextureRenderTarget2D.h"
#include "Rendering/DrawElements.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace
{
	// Geometry far outside any target must not overflow when snapped to pixels.
	constexpr double PixelLimit = 1 << 28;

	int32 SnapToPixel(double Value)
	{
		return FMath::RoundToInt(FMath::Clamp(Value, -PixelLimit, PixelLimit));
	}

	double LimitCoordinate(double Value)
	{
		// NaN counts as 0, so a broken geometry draws nothing rather than everything.
		return Value == Value ? FMath::Clamp(Value, -PixelLimit, PixelLimit) : 0.0;
	}

	FRoundedRectCoverage ShapeOf(const FGeometry& Geometry, double Radius)
	{
		const FVector2D& Position = Geometry.GetAbsolutePosition();
		const FVector2D& Size = Geometry.GetLocalSize();
		const double MinX = LimitCoordinate(Position.X);
		const double MinY = LimitCoordinate(Position.Y);
		return FRoundedRectCoverage(MinX, MinY, LimitCoordinate(MinX + LimitCoordinate(Size.X)), LimitCoordinate(MinY + LimitCoordinate(Size.Y)),
			LimitCoordinate(Radius));
	}

	/** The pixels a shape touches. */
	FPixelRect PixelBounds(const FRoundedRectCoverage& Shape)
	{
		if (Shape.IsEmpty())
		{
			return FPixelRect();
		}
		return FPixelRect{static_cast<int32>(std::floor(Shape.MinX)), static_cast<int32>(std::floor(Shape.MinY)), static_cast<int32>(std::ceil(Shape.MaxX)), static_cast<int32>(std::ceil(Shape.MaxY))};
	}

	FLinearColor ClampAlpha(FLinearColor Color)
	{
		Color.A = FMath::Clamp(Color.A, 0.f, 1.f);
		return Color;
	}

	FLinearColor Premultiply(const FLinearColor& Color, float Coverage)
	{
		const float Alpha = Color.A * Coverage;
		return FLinearColor(Color.R * Alpha, Color.G * Alpha, Color.B * Alpha, Alpha);
	}

	// The engine's UI blend into a render target: colour laid over by the source's alpha, the
	// target's alpha multiplied by one minus it. The source comes premultiplied.
	inline void Composite(FLinearColor& Destination, float R, float G, float B, float A)
	{
		if (A <= 0.f)
		{
			return;
		}
		const float Kept = 1.f - A;
		Destination.R = R + Destination.R * Kept;
		Destination.G = G + Destination.G * Kept;
		Destination.B = B + Destination.B * Kept;
		Destination.A = Destination.A * Kept;
	}

	// Runs of equal pixels are the rule (boxes, cleared areas), so remembering the last conversion
	// saves most transfer-function and storage-format calls.
	class FStoreConverter
	{
	public:
		FStoreConverter(const UTextureRenderTarget2D& InTarget, bool bInEncodeSRGB)
			: Target(InTarget)
			, bEncodeSRGB(bInEncodeSRGB)
		{
		}

		const FLinearColor& Convert(const FLinearColor& Color)
		{
			if (!bHasLast || !(Color == LastInput))
			{
				LastInput = Color;
				if (bEncodeSRGB && Target.RenderTargetFormat == ETextureRenderTargetFormat::RTF_RGBA8)
				{
					// Straight to the 8-bit code: the same value as encoding then rounding, without the power function.
					const FLinearColor Encoded(FLinearColor::LinearToSRGB8(Color.R) / 255.f, FLinearColor::LinearToSRGB8(Color.G) / 255.f,
						FLinearColor::LinearToSRGB8(Color.B) / 255.f, Color.A);
					LastOutput = Target.ToStoredColor(Encoded);
				}
				else
				{
					const FLinearColor Encoded = bEncodeSRGB
						? FLinearColor(FLinearColor::LinearToSRGB(Color.R), FLinearColor::LinearToSRGB(Color.G), FLinearColor::LinearToSRGB(Color.B), Color.A)
						: Color;
					LastOutput = Target.ToStoredColor(Encoded);
				}
				bHasLast = true;
			}
			return LastOutput;
		}

	private:
		const UTextureRenderTarget2D& Target;
		bool bEncodeSRGB;
		FLinearColor LastInput;
		FLinearColor LastOutput;
		bool bHasLast = false;
	};

	class FDecodeCache
	{
	public:
		const FLinearColor& Convert(const FLinearColor& Color)
		{
			if (!bHasLast || !(Color == LastInput))
			{
				LastInput = Color;
				LastOutput = FLinearColor(FLinearColor::SRGBToLinear(Color.R), FLinearColor::SRGBToLinear(Color.G), FLinearColor::SRGBToLinear(Color.B), Color.A);
				bHasLast = true;
			}
			return LastOutput;
		}

	private:
		FLinearColor LastInput;
		FLinearColor LastOutput;
		bool bHasLast = false;
	};
} // namespace

FPixelRect FPixelRect::Intersect(const FPixelRect& Other) const
{
	FPixelRect Result{FMath::Max(MinX, Other.MinX), FMath::Max(MinY, Other.MinY), FMath::Min(MaxX, Other.MaxX), FMath::Min(MaxY, Other.MaxY)};
	return Result.IsEmpty() ? FPixelRect() : Result;
}

FPixelRect FPixelRect::Union(const FPixelRect& Other) const
{
	if (IsEmpty())
	{
		return Other;
	}
	if (Other.IsEmpty())
	{
		return *this;
	}
	return FPixelRect{FMath::Min(MinX, Other.MinX), FMath::Min(MinY, Other.MinY), FMath::Max(MaxX, Other.MaxX), FMath::Max(MaxY, Other.MaxY)};
}

void FSlateSoftwareRasterizer::Draw(UTextureRenderTarget2D& Target, const FSlateWindowElementList& ElementList, const FDrawParams& Params)
{
	const int32 TargetWidth = Target.GetSurfaceWidth();
	const int32 TargetHeight = Target.GetSurfaceHeight();
	if (!Target.HasPixels())
	{
		return;
	}
	const FPixelRect TargetRect{0, 0, TargetWidth, TargetHeight};
	const FPixelRect Clip = FPixelRect{0, 0, Params.Width, Params.Height}.Intersect(TargetRect);
	if (Clip.IsEmpty())
	{
		return;
	}

	Images.BeginDraw();
	Prepared.Reset();
	Glyphs.Reset();
	WorkingRect = FPixelRect();
	for (const FSlateDrawElement& Element : ElementList.GetDrawElements())
	{
		FPreparedElement Item;
		if (Prepare(Element, Clip, Item))
		{
			WorkingRect = WorkingRect.Union(Item.Bounds);
			Prepared.Add(Item);
		}
	}

	if (Params.bClear)
	{
		// Pixels in the working area are written in full when it is stored; clear only around it.
		// Rows the elements do not reach are cleared through the target, which does it per row.
		const FLinearColor& Cleared = Target.ClearColor;
		if (WorkingRect.IsEmpty())
		{
			Target.FillRect(Clip.MinX, Clip.MinY, Clip.MaxX, Clip.MaxY, Cleared);
		}
		else
		{
			Target.FillRect(Clip.MinX, Clip.MinY, Clip.MaxX, WorkingRect.MinY, Cleared);
			Target.FillRect(Clip.MinX, WorkingRect.MaxY, Clip.MaxX, Clip.MaxY, Cleared);
			Target.FillRect(Clip.MinX, WorkingRect.MinY, WorkingRect.MinX, WorkingRect.MaxY, Cleared);
			Target.FillRect(WorkingRect.MaxX, WorkingRect.MinY, Clip.MaxX, WorkingRect.MaxY, Cleared);
		}
	}
	if (WorkingRect.IsEmpty())
	{
		return;
	}

	LoadWorkingArea(Target, Params.bClear, Params.bEncodeSRGB);

	DrawOrder.Reset();
	for (int32 Index = 0; Index < Prepared.Num(); ++Index)
	{
		DrawOrder.Add(Index);
	}
	DrawOrder.StableSort([this](int32 A, int32 B) { return Prepared[A].Element->GetLayer() < Prepared[B].Element->GetLayer(); });
	for (const int32 Index : DrawOrder)
	{
		const FPreparedElement& Item = Prepared[Index];
		switch (Item.Element->GetElementType())
		{
		case ESlateDrawElementType::Box:
			DrawBox(Item);
			break;
		case ESlateDrawElementType::Text:
			DrawText(Item);
			break;
		case ESlateDrawElementType::Image:
			DrawImage(Item);
			break;
		}
	}

	StoreWorkingArea(Target, Params.bClear, Params.bEncodeSRGB);
}

bool FSlateSoftwareRasterizer::Prepare(const FSlateDrawElement& Element, const FPixelRect& Clip, FPreparedElement& OutPrepared)
{
	OutPrepared.Element = &Element;
	if (Element.GetElementType() != ESlateDrawElementType::Text)
	{
		const double Radius = Element.GetElementType() == ESlateDrawElementType::Box ? Element.GetCornerRadius() : 0.0;
		OutPrepared.Shape = ShapeOf(Element.GetGeometry(), Radius);
		OutPrepared.Bounds = PixelBounds(OutPrepared.Shape).Intersect(Clip);
		return !OutPrepared.Bounds.IsEmpty();
	}

	const FSlateFontInfo& Font = Element.GetFontInfo();
	const FVector2D& Position = Element.GetGeometry().GetAbsolutePosition();
	OutPrepared.PenX = SnapToPixel(Position.X);
	const int32 LineTop = SnapToPixel(Position.Y);
	FSlateFontMetrics Metrics;
	if (!FSlateFontCache::Get().GetMetrics(Font, Metrics))
	{
		return false;
	}
	// A line far outside the clip is not laid out at all.
	if (LineTop >= Clip.MaxY || LineTop + 2 * Metrics.LineHeight < Clip.MinY || OutPrepared.PenX >= Clip.MaxX + Font.Size)
	{
		return false;
	}
	OutPrepared.BaselineY = LineTop + Metrics.Ascender;
	OutPrepared.FirstGlyph = Glyphs.Num();
	FSlateFontCache::Get().LayoutLine(Element.GetText(), Font, Glyphs);
	OutPrepared.NumGlyphs = Glyphs.Num() - OutPrepared.FirstGlyph;
	FPixelRect Extent;
	for (int32 Index = OutPrepared.FirstGlyph; Index < Glyphs.Num(); ++Index)
	{
		const FSlateGlyph& Glyph = *Glyphs[Index].Glyph;
		const int32 Left = OutPrepared.PenX + Glyphs[Index].PenX + Glyph.OffsetX;
		const int32 Top = OutPrepared.BaselineY - Glyphs[Index].PenY - Glyph.OffsetY;
		Extent = Extent.Union(FPixelRect{Left, Top, Left + Glyph.Width, Top + Glyph.Height});
	}
	OutPrepared.Bounds = Extent.Intersect(Clip);
	return !OutPrepared.Bounds.IsEmpty();
}

void FSlateSoftwareRasterizer::LoadWorkingArea(const UTextureRenderTarget2D& Target, bool bClear, bool bDecodeSRGB)
{
	const int32 Width = WorkingRect.Width();
	const int32 Count = Width * WorkingRect.Height();
	Written.Init(0, Count);
	FDecodeCache Decode;
	if (bClear)
	{
		const FLinearColor Stored = Target.ToStoredColor(Target.ClearColor);
		Working.Init(bDecodeSRGB ? Decode.Convert(Stored) : Stored, Count);
		return;
	}
	Working.SetNum(Count);
	for (int32 Y = WorkingRect.MinY; Y < WorkingRect.MaxY; ++Y)
	{
		const FLinearColor* SourceRow = Target.GetRow(Y) + WorkingRect.MinX;
		FLinearColor* Row = Working.GetData() + static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width;
		for (int32 X = 0; X < Width; ++X)
		{
			Row[X] = bDecodeSRGB ? Decode.Convert(SourceRow[X]) : SourceRow[X];
		}
	}
}

void FSlateSoftwareRasterizer::StoreWorkingArea(UTextureRenderTarget2D& Target, bool bCleared, bool bEncodeSRGB) const
{
	const int32 Width = WorkingRect.Width();
	FStoreConverter Store(Target, bEncodeSRGB);
	// Untouched pixels of a cleared area get the clear as stored, not a round trip through linear light.
	const FLinearColor StoredClear = Target.ToStoredColor(Target.ClearColor);
	for (int32 Y = WorkingRect.MinY; Y < WorkingRect.MaxY; ++Y)
	{
		const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width;
		const FLinearColor* Row = Working.GetData() + RowStart;
		const uint8* WrittenRow = Written.GetData() + RowStart;
		FLinearColor* TargetRow = Target.GetMutableRow(Y) + WorkingRect.MinX;
		for (int32 X = 0; X < Width; ++X)
		{
			if (WrittenRow[X])
			{
				TargetRow[X] = Store.Convert(Row[X]);
			}
			else if (bCleared)
			{
				TargetRow[X] = StoredClear;
			}
		}
	}
}

void FSlateSoftwareRasterizer::BlendSpan(int32 Y, int32 X0, int32 X1, const FLinearColor& Premultiplied)
{
	if (X1 <= X0 || Premultiplied.A <= 0.f)
	{
		return;
	}
	const SIZE_T Offset = static_cast<SIZE_T>(Y - WorkingRect.MinY) * WorkingRect.Width() + (X0 - WorkingRect.MinX);
	FLinearColor* Row = Working.GetData() + Offset;
	const int32 Count = X1 - X0;
	std::memset(Written.GetData() + Offset, 1, static_cast<SIZE_T>(Count));
	if (Premultiplied.A >= 1.f)
	{
		// Opaque: nothing of the target stays, its alpha included.
		std::fill(Row, Row + Count, FLinearColor(Premultiplied.R, Premultiplied.G, Premultiplied.B, 0.f));
		return;
	}
	for (int32 X = 0; X < Count; ++X)
	{
		Composite(Row[X], Premultiplied.R, Premultiplied.G, Premultiplied.B, Premultiplied.A);
	}
}

void FSlateSoftwareRasterizer::DrawBox(const FPreparedElement& Prepared)
{
	const FSlateDrawElement& Element = *Prepared.Element;
	const FRoundedRectCoverage& Outer = Prepared.Shape;
	const FPixelRect& Bounds = Prepared.Bounds;
	const FLinearColor Fill = ClampAlpha(Element.GetTint());
	const FLinearColor Border = ClampAlpha(Element.GetBorderColor());
	// The border lies inside the box, follows its corners, and can at most fill it.
	const double Thickness = FMath::Clamp(static_cast<double>(Element.GetBorderThickness()), 0.0, FMath::Max(Outer.MaxX - Outer.MinX, Outer.MaxY - Outer.MinY));
	const bool bHasBorder = Thickness > 0.0;
	const FRoundedRectCoverage Inner = bHasBorder
		? FRoundedRectCoverage(Outer.MinX + Thickness, Outer.MinY + Thickness, Outer.MaxX - Thickness, Outer.MaxY - Thickness, Outer.Radius - Thickness)
		: Outer;
	const bool bInnerEmpty = Inner.IsEmpty();

	// One premultiplied colour for a pixel, from how much of it the outer and the inner shape cover:
	// fill and border share a pixel without a seam between them.
	const auto Mix = [&](float OuterCoverage, float InnerCoverage) {
		InnerCoverage = FMath::Min(InnerCoverage, OuterCoverage);
		const FLinearColor FillPart = Premultiply(Fill, InnerCoverage);
		const FLinearColor BorderPart = Premultiply(Border, OuterCoverage - InnerCoverage);
		return FillPart + BorderPart;
	};

	for (int32 Y = Bounds.MinY; Y < Bounds.MaxY; ++Y)
	{
		const float OuterRow = static_cast<float>(Outer.RowOverlap(Y));
		const float InnerRow = bInnerEmpty ? 0.f : static_cast<float>(Inner.RowOverlap(Y));
		int32 Spans[2][4];
		Outer.RowSpans(Y, Spans[0][0], Spans[0][1], Spans[0][2], Spans[0][3]);
		if (bInnerEmpty || InnerRow <= 0.f)
		{
			// No inner shape on this row: it is all border.
			Spans[1][0] = Spans[1][1] = Spans[1][2] = Spans[1][3] = Spans[0][0];
		}
		else
		{
			Inner.RowSpans(Y, Spans[1][0], Spans[1][1], Spans[1][2], Spans[1][3]);
		}
		// Between consecutive break points each shape's coverage is constant or needs each pixel.
		int32 Breaks[10];
		int32 NumBreaks = 0;
		for (const auto& ShapeSpans : Spans)
		{
			for (const int32 Break : ShapeSpans)
			{
				Breaks[NumBreaks++] = FMath::Clamp(Break, Bounds.MinX, Bounds.MaxX);
			}
		}
		Breaks[NumBreaks++] = Bounds.MinX;
		Breaks[NumBreaks++] = Bounds.MaxX;
		std::sort(Breaks, Breaks + NumBreaks);

		// Constant coverage of a shape over [Start, End), or -1 when it changes pixel by pixel.
		const auto Constant = [](const int32(&ShapeSpans)[4], float RowCoverage, int32 Start, int32 End) {
			if (End <= ShapeSpans[0] || Start >= ShapeSpans[3])
			{
				return 0.f;
			}
			if (Start >= ShapeSpans[1] && End <= ShapeSpans[2])
			{
				return RowCoverage;
			}
			return -1.f;
		};
		for (int32 Index = 0; Index + 1 < NumBreaks; ++Index)
		{
			const int32 Start = Breaks[Index];
			const int32 End = Breaks[Index + 1];
			if (Start >= End)
			{
				continue;
			}
			const float OuterConstant = Constant(Spans[0], OuterRow, Start, End);
			const float InnerConstant = bHasBorder ? Constant(Spans[1], InnerRow, Start, End) : OuterConstant;
			if (OuterConstant >= 0.f && InnerConstant >= 0.f)
			{
				BlendSpan(Y, Start, End, Mix(OuterConstant, InnerConstant));
				continue;
			}
			for (int32 X = Start; X < End; ++X)
			{
				const float OuterCoverage = Outer.Pixel(X, Y);
				const float InnerCoverage = !bHasBorder ? OuterCoverage : (bInnerEmpty ? 0.f : Inner.Pixel(X, Y));
				BlendSpan(Y, X, X + 1, Mix(OuterCoverage, InnerCoverage));
			}
		}
	}
}

void FSlateSoftwareRasterizer::DrawText(const FPreparedElement& Prepared)
{
	const FLinearColor Color = ClampAlpha(Prepared.Element->GetTint());
	if (Color.A <= 0.f)
	{
		return;
	}
	std::array<FLinearColor, 256> ColorOfCoverage;
	for (int32 Coverage = 0; Coverage < 256; ++Coverage)
	{
		ColorOfCoverage[Coverage] = Premultiply(Color, Coverage == 255 ? 1.f : static_cast<float>(Coverage) / 255.f);
	}

	const int32 Width = WorkingRect.Width();
	for (int32 Index = Prepared.FirstGlyph; Index < Prepared.FirstGlyph + Prepared.NumGlyphs; ++Index)
	{
		const FSlateGlyph& Glyph = *Glyphs[Index].Glyph;
		const int32 Left = Prepared.PenX + Glyphs[Index].PenX + Glyph.OffsetX;
		const int32 Top = Prepared.BaselineY - Glyphs[Index].PenY - Glyph.OffsetY;
		const FPixelRect Visible = FPixelRect{Left, Top, Left + Glyph.Width, Top + Glyph.Height}.Intersect(Prepared.Bounds);
		for (int32 Y = Visible.MinY; Y < Visible.MaxY; ++Y)
		{
			const SIZE_T GlyphStart = static_cast<SIZE_T>(Y - Top) * Glyph.Width + (Visible.MinX - Left);
			const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width + (Visible.MinX - WorkingRect.MinX);
			FLinearColor* Row = Working.GetData() + RowStart;
			uint8* WrittenRow = Written.GetData() + RowStart;
			if (Glyph.bColor)
			{
				// Colour glyphs (emoji) keep their own colours; the text colour lends only its alpha.
				const FLinearColor* Texels = Glyph.Colors.GetData() + GlyphStart;
				for (int32 X = 0; X < Visible.Width(); ++X)
				{
					const FLinearColor& Texel = Texels[X];
					if (Texel.A > 0.f)
					{
						Composite(Row[X], Texel.R * Color.A, Texel.G * Color.A, Texel.B * Color.A, Texel.A * Color.A);
						WrittenRow[X] = 1;
					}
				}
				continue;
			}
			const uint8* CoverageRow = Glyph.Coverage.GetData() + GlyphStart;
			for (int32 X = 0; X < Visible.Width(); ++X)
			{
				const uint8 Coverage = CoverageRow[X];
				if (Coverage != 0)
				{
					const FLinearColor& Source = ColorOfCoverage[Coverage];
					Composite(Row[X], Source.R, Source.G, Source.B, Source.A);
					WrittenRow[X] = 1;
				}
			}
		}
	}
}

void FSlateSoftwareRasterizer::DrawImage(const FPreparedElement& Prepared)
{
	const TSharedPtr<const FImage>& Image = Prepared.Element->GetImage();
	const FLinearColor Tint = ClampAlpha(Prepared.Element->GetTint());
	const FRoundedRectCoverage& Shape = Prepared.Shape;
	const FPixelRect& Bounds = Prepared.Bounds;
	if (Tint.A <= 0.f || !Image || Image->RawData.Num() != Image->SizeX * Image->SizeY)
	{
		return;
	}
	const double DrawWidth = Shape.MaxX - Shape.MinX;
	const double DrawHeight = Shape.MaxY - Shape.MinY;
	const FImageSampler::FLevel& Level = Images.FindLevel(Image, DrawWidth, DrawHeight);
	const double ScaleX = Level.SizeX / DrawWidth;
	const double ScaleY = Level.SizeY / DrawHeight;
	const FLinearColor TintScale(Tint.R * Tint.A, Tint.G * Tint.A, Tint.B * Tint.A, Tint.A);

	const int32 Width = WorkingRect.Width();
	for (int32 Y = Bounds.MinY; Y < Bounds.MaxY; ++Y)
	{
		// Texel centres lie at .5: a pixel centre maps into the level, then the four nearest texels are mixed.
		const double V = (Y + 0.5 - Shape.MinY) * ScaleY - 0.5;
		const float RowCoverage = static_cast<float>(Shape.RowOverlap(Y));
		const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width + (Bounds.MinX - WorkingRect.MinX);
		FLinearColor* Row = Working.GetData() + RowStart;
		uint8* WrittenRow = Written.GetData() + RowStart;
		for (int32 X = Bounds.MinX; X < Bounds.MaxX; ++X)
		{
			const double U = (X + 0.5 - Shape.MinX) * ScaleX - 0.5;
			const float EdgeCoverage = X >= Shape.MinX && X + 1 <= Shape.MaxX ? RowCoverage : Shape.Pixel(X, Y);
			const FLinearColor Texel = Level.Sample(U, V) * TintScale * EdgeCoverage;
			if (Texel.A > 0.f)
			{
				Composite(Row[X - Bounds.MinX], Texel.R, Texel.G, Texel.B, Texel.A);
				WrittenRow[X - Bounds.MinX] = 1;
			}
		}
	}
}
