#pragma once

#include "CoreMinimal.h"
#include "Fonts/SlateFontInfo.h"
#include "Math/Vector2D.h"
#include "Templates/UniquePtr.h"

/** One rasterised glyph: 8-bit coverage, placed relative to the pen on the baseline. */
struct FSlateGlyph
{
	int32 Width = 0;
	int32 Height = 0;
	/** Pixels from the pen to the bitmap's left column. */
	int32 OffsetX = 0;
	/** Pixels from the baseline up to the bitmap's top row. */
	int32 OffsetY = 0;
	/** Width * Height coverage values, row-major from the top-left; 255 is fully covered. Empty for a colour glyph. */
	TArray<uint8> Coverage;
	/** A colour glyph (emoji) draws its own colours, not the text's. */
	bool bColor = false;
	/** A colour glyph's Width * Height pixels: linear light, premultiplied alpha, row-major from the top-left. */
	TArray<FLinearColor> Colors;
};

/** Vertical metrics of one face at one size, in whole pixels. */
struct FSlateFontMetrics
{
	/** From the line's top down to the baseline. */
	int32 Ascender = 0;
	int32 LineHeight = 0;
};

/** A glyph of a laid-out line and its pen position in pixels from the line's start. */
struct FSlateGlyphPlacement
{
	const FSlateGlyph* Glyph = nullptr;
	int32 PenX = 0;
	/** Pixels above the baseline, for marks that shaping raises. */
	int32 PenY = 0;
};

/**
 * The engine's fonts, rasterised on demand through FreeType and shaped with HarfBuzz
 * (kerning, ligatures, marks). A text's own face is the engine's font (DejaVu Sans, regular,
 * bold, oblique) or an installed family found through fontconfig; characters it lacks come
 * from the fallback chain: DejaVu Sans, WenQuanYi Micro Hei (Chinese, Japanese, Korean),
 * Noto Color Emoji. Italic without an italic face is slanted. Each face is loaded once, when
 * text first needs it; glyphs and shaped lines are kept. A face that cannot be loaded, or a
 * family that is not installed, logs one warning, and text in it draws nothing.
 * Game thread only.
 */
class SLATECORE_API FSlateFontCache
{
public:
	static FSlateFontCache& Get();

	FSlateFontCache();
	~FSlateFontCache();
	FSlateFontCache(const FSlateFontCache&) = delete;
	FSlateFontCache& operator=(const FSlateFontCache&) = delete;

	/** Whether fontconfig knows a family of that name (ignoring case); the engine's font always counts. */
	static bool IsFamilyInstalled(const FString& Family);

	/** The text's own face's line metrics; false when it cannot be loaded. */
	bool GetMetrics(const FSlateFontInfo& Font, FSlateFontMetrics& OutMetrics);

	/**
	 * Shapes Text (UTF-8) on one line. The placements stay valid until the font files change.
	 * @return the line's advance in pixels; 0 when the text's own face cannot be loaded
	 */
	int32 LayoutLine(const FString& Text, const FSlateFontInfo& Font, TArray<FSlateGlyphPlacement>& OutPlacements);
	/** The line's advance and height in pixels. */
	FVector2D MeasureText(const FString& Text, const FSlateFontInfo& Font);

private:
	struct FImpl;
	TUniquePtr<FImpl> Impl;
};
