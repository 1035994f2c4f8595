#include "SlateSoftwareRasterizer.h"

#include "Engine/TextureRenderTarget2D.h"
#include "Rendering/DrawElements.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace
{
	// Geometry far outside any target must not overflow when snapped to pixels.
	constexpr double PixelLimit = 1 << 28;

	int32 SnapToPixel(double Value)
	{
		return FMath::RoundToInt(FMath::Clamp(Value, -PixelLimit, PixelLimit));
	}

	FPixelRect SnapRect(const FGeometry& Geometry)
	{
		const FVector2D& Position = Geometry.GetAbsolutePosition();
		const FVector2D& Size = Geometry.GetLocalSize();
		return FPixelRect{SnapToPixel(Position.X), SnapToPixel(Position.Y), SnapToPixel(Position.X + Size.X), SnapToPixel(Position.Y + Size.Y)};
	}

	FLinearColor ClampAlpha(FLinearColor Color)
	{
		Color.A = FMath::Clamp(Color.A, 0.f, 1.f);
		return Color;
	}

	// Straight-alpha "over"; the caller has handled Source.A of 0 and 1.
	inline void BlendOver(FLinearColor& Destination, float R, float G, float B, float A)
	{
		if (Destination.A <= 0.f)
		{
			Destination = FLinearColor(R, G, B, A);
			return;
		}
		const float DestinationWeight = Destination.A * (1.f - A);
		const float OutA = A + DestinationWeight;
		const float InvOutA = 1.f / OutA;
		Destination.R = (R * A + Destination.R * DestinationWeight) * InvOutA;
		Destination.G = (G * A + Destination.G * DestinationWeight) * InvOutA;
		Destination.B = (B * A + Destination.B * DestinationWeight) * InvOutA;
		Destination.A = OutA;
	}

	inline void Composite(FLinearColor& Destination, float R, float G, float B, float A)
	{
		if (A >= 1.f)
		{
			Destination = FLinearColor(R, G, B, 1.f);
		}
		else if (A > 0.f)
		{
			BlendOver(Destination, R, G, B, A);
		}
	}

	// Image texels are 8-bit sRGB; decoding through a table keeps the per-pixel work to lookups.
	const std::array<float, 256>& SRGBDecodeTable()
	{
		static const std::array<float, 256> Table = [] {
			std::array<float, 256> Values{};
			for (int32 Index = 0; Index < 256; ++Index)
			{
				Values[Index] = FLinearColor(FColor(static_cast<uint8>(Index), 0, 0, 255)).R;
			}
			return Values;
		}();
		return Table;
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
		const FLinearColor Cleared = FLinearColor::Transparent;
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
		OutPrepared.Rect = SnapRect(Element.GetGeometry());
		OutPrepared.Bounds = OutPrepared.Rect.Intersect(Clip);
		return !OutPrepared.Bounds.IsEmpty();
	}

	const FSlateFontInfo& Font = Element.GetFontInfo();
	const FVector2D& Position = Element.GetGeometry().GetAbsolutePosition();
	OutPrepared.PenX = SnapToPixel(Position.X);
	const int32 LineTop = SnapToPixel(Position.Y);
	// A line far outside the clip is not laid out at all; glyphs reach at most about an em past their pen.
	if (LineTop >= Clip.MaxY || OutPrepared.PenX - Font.Size >= Clip.MaxX)
	{
		return false;
	}
	FSlateFontMetrics Metrics;
	if (!FSlateFontCache::Get().GetMetrics(Font, Metrics) || LineTop + 2 * Metrics.LineHeight < Clip.MinY)
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
		const int32 Top = OutPrepared.BaselineY - Glyph.OffsetY;
		Extent = Extent.Union(FPixelRect{Left, Top, Left + Glyph.Width, Top + Glyph.Height});
	}
	OutPrepared.Rect = Extent;
	OutPrepared.Bounds = Extent.Intersect(Clip);
	return !OutPrepared.Bounds.IsEmpty();
}

void FSlateSoftwareRasterizer::LoadWorkingArea(const UTextureRenderTarget2D& Target, bool bClear, bool bDecodeSRGB)
{
	const int32 Width = WorkingRect.Width();
	const int32 Count = Width * WorkingRect.Height();
	Written.Init(0, Count);
	if (bClear)
	{
		Working.Init(FLinearColor::Transparent, Count);
		return;
	}
	Working.SetNum(Count);
	FDecodeCache Decode;
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

void FSlateSoftwareRasterizer::StoreWorkingArea(UTextureRenderTarget2D& Target, bool bWriteAll, bool bEncodeSRGB) const
{
	const int32 Width = WorkingRect.Width();
	FStoreConverter Store(Target, bEncodeSRGB);
	for (int32 Y = WorkingRect.MinY; Y < WorkingRect.MaxY; ++Y)
	{
		const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width;
		const FLinearColor* Row = Working.GetData() + RowStart;
		const uint8* WrittenRow = Written.GetData() + RowStart;
		FLinearColor* TargetRow = Target.GetMutableRow(Y) + WorkingRect.MinX;
		for (int32 X = 0; X < Width; ++X)
		{
			if (bWriteAll || WrittenRow[X])
			{
				TargetRow[X] = Store.Convert(Row[X]);
			}
		}
	}
}

void FSlateSoftwareRasterizer::BlendSpan(int32 Y, int32 X0, int32 X1, const FLinearColor& Color)
{
	if (X1 <= X0 || Color.A <= 0.f)
	{
		return;
	}
	const SIZE_T Offset = static_cast<SIZE_T>(Y - WorkingRect.MinY) * WorkingRect.Width() + (X0 - WorkingRect.MinX);
	FLinearColor* Row = Working.GetData() + Offset;
	const int32 Count = X1 - X0;
	std::memset(Written.GetData() + Offset, 1, static_cast<SIZE_T>(Count));
	if (Color.A >= 1.f)
	{
		std::fill(Row, Row + Count, FLinearColor(Color.R, Color.G, Color.B, 1.f));
		return;
	}
	for (int32 X = 0; X < Count; ++X)
	{
		BlendOver(Row[X], Color.R, Color.G, Color.B, Color.A);
	}
}

void FSlateSoftwareRasterizer::DrawBox(const FPreparedElement& Prepared)
{
	const FSlateDrawElement& Element = *Prepared.Element;
	const FPixelRect& Rect = Prepared.Rect;
	const FPixelRect& Bounds = Prepared.Bounds;
	const FLinearColor Fill = ClampAlpha(Element.GetTint());
	const FLinearColor Border = ClampAlpha(Element.GetBorderColor());
	// The border lies inside the box and can at most fill it.
	const int32 Thickness = FMath::Clamp(FMath::RoundToInt(Element.GetBorderThickness()), 0, FMath::Max(Rect.Width(), Rect.Height()));
	const FPixelRect Inner{Rect.MinX + Thickness, Rect.MinY + Thickness, Rect.MaxX - Thickness, Rect.MaxY - Thickness};

	for (int32 Y = Bounds.MinY; Y < Bounds.MaxY; ++Y)
	{
		if (Y < Inner.MinY || Y >= Inner.MaxY || Inner.IsEmpty())
		{
			BlendSpan(Y, Bounds.MinX, Bounds.MaxX, Border);
			continue;
		}
		const int32 FillStart = FMath::Clamp(Inner.MinX, Bounds.MinX, Bounds.MaxX);
		const int32 FillEnd = FMath::Clamp(Inner.MaxX, Bounds.MinX, Bounds.MaxX);
		BlendSpan(Y, Bounds.MinX, FillStart, Border);
		BlendSpan(Y, FillStart, FillEnd, Fill);
		BlendSpan(Y, FillEnd, Bounds.MaxX, Border);
	}
}

void FSlateSoftwareRasterizer::DrawText(const FPreparedElement& Prepared)
{
	const FLinearColor Color = ClampAlpha(Prepared.Element->GetTint());
	if (Color.A <= 0.f)
	{
		return;
	}
	std::array<float, 256> AlphaOfCoverage;
	for (int32 Coverage = 0; Coverage < 256; ++Coverage)
	{
		AlphaOfCoverage[Coverage] = Coverage == 255 ? Color.A : Color.A * (static_cast<float>(Coverage) / 255.f);
	}

	const int32 Width = WorkingRect.Width();
	for (int32 Index = Prepared.FirstGlyph; Index < Prepared.FirstGlyph + Prepared.NumGlyphs; ++Index)
	{
		const FSlateGlyph& Glyph = *Glyphs[Index].Glyph;
		const int32 Left = Prepared.PenX + Glyphs[Index].PenX + Glyph.OffsetX;
		const int32 Top = Prepared.BaselineY - Glyph.OffsetY;
		const FPixelRect Visible = FPixelRect{Left, Top, Left + Glyph.Width, Top + Glyph.Height}.Intersect(Prepared.Bounds);
		for (int32 Y = Visible.MinY; Y < Visible.MaxY; ++Y)
		{
			const uint8* CoverageRow = Glyph.Coverage.GetData() + (Y - Top) * Glyph.Width + (Visible.MinX - Left);
			const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width + (Visible.MinX - WorkingRect.MinX);
			FLinearColor* Row = Working.GetData() + RowStart;
			uint8* WrittenRow = Written.GetData() + RowStart;
			for (int32 X = 0; X < Visible.Width(); ++X)
			{
				const uint8 Coverage = CoverageRow[X];
				if (Coverage != 0)
				{
					Composite(Row[X], Color.R, Color.G, Color.B, AlphaOfCoverage[Coverage]);
					WrittenRow[X] = 1;
				}
			}
		}
	}
}

void FSlateSoftwareRasterizer::DrawImage(const FPreparedElement& Prepared)
{
	const FImage& Image = *Prepared.Element->GetImage();
	const FLinearColor Tint = ClampAlpha(Prepared.Element->GetTint());
	const FPixelRect& Rect = Prepared.Rect;
	const FPixelRect& Bounds = Prepared.Bounds;
	if (Tint.A <= 0.f || Image.RawData.Num() != Image.SizeX * Image.SizeY)
	{
		return;
	}
	const std::array<float, 256>& Decode = SRGBDecodeTable();

	// Nearest texel at each pixel's centre; the column map is the same for every row.
	SourceColumns.SetNum(Bounds.Width());
	for (int32 X = Bounds.MinX; X < Bounds.MaxX; ++X)
	{
		const double U = (X - Rect.MinX + 0.5) * Image.SizeX / Rect.Width();
		SourceColumns[X - Bounds.MinX] = FMath::Clamp(FMath::FloorToInt(U), 0, Image.SizeX - 1);
	}
	const int32 Width = WorkingRect.Width();
	for (int32 Y = Bounds.MinY; Y < Bounds.MaxY; ++Y)
	{
		const double V = (Y - Rect.MinY + 0.5) * Image.SizeY / Rect.Height();
		const int32 SourceY = FMath::Clamp(FMath::FloorToInt(V), 0, Image.SizeY - 1);
		const FColor* SourceRow = Image.RawData.GetData() + static_cast<SIZE_T>(SourceY) * Image.SizeX;
		const SIZE_T RowStart = static_cast<SIZE_T>(Y - WorkingRect.MinY) * Width + (Bounds.MinX - WorkingRect.MinX);
		FLinearColor* Row = Working.GetData() + RowStart;
		uint8* WrittenRow = Written.GetData() + RowStart;
		for (int32 X = 0; X < Bounds.Width(); ++X)
		{
			const FColor& Texel = SourceRow[SourceColumns[X]];
			const float Alpha = Tint.A * (static_cast<float>(Texel.A) / 255.f);
			if (Alpha > 0.f)
			{
				Composite(Row[X], Decode[Texel.R] * Tint.R, Decode[Texel.G] * Tint.G, Decode[Texel.B] * Tint.B, Alpha);
				WrittenRow[X] = 1;
			}
		}
	}
}
