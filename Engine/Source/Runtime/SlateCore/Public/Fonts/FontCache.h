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
	/** How far the pen moves, in 1/64 pixel. */
	int32 Advance64 = 0;
	/** Width * Height coverage values, row-major from the top-left; 255 is fully covered. */
	TArray<uint8> Coverage;
};

/** Vertical metrics of one face at one size, in whole pixels. */
struct FSlateFontMetrics
{
	/** From the line's top down to the baseline. */
	int32 Ascender = 0;
	/** From the baseline down to the line's bottom. */
	int32 Descender = 0;
	int32 LineHeight = 0;
};

/** A glyph of a laid-out line and its pen position in pixels from the line's start. */
struct FSlateGlyphPlacement
{
	const FSlateGlyph* Glyph = nullptr;
	int32 PenX = 0;
};

/**
 * The engine's font: DejaVu Sans, regular and bold, rasterised on demand. Each face is
 * loaded once, when text first needs it; glyphs are kept once rasterised. A font file that
 * cannot be loaded logs one warning, and text in that face draws nothing.
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

	/** Uses other font files from now on, dropping every loaded face and glyph. */
	void SetFontFiles(const FString& RegularFile, const FString& BoldFile);
	/** Back to the installed DejaVu Sans files. */
	void ResetFontFiles();
	const FString& GetFontFile(bool bBold) const;

	/** False when the face cannot be loaded. */
	bool GetMetrics(const FSlateFontInfo& Font, FSlateFontMetrics& OutMetrics);
	/** Null when the face cannot be loaded; a character the face lacks gives its missing-glyph box. */
	const FSlateGlyph* GetGlyph(const FSlateFontInfo& Font, uint32 CodePoint);

	/**
	 * Lays Text (UTF-8) out on one line. The placements stay valid until the font files change.
	 * @return the line's advance in pixels; 0 when the face cannot be loaded
	 */
	int32 LayoutLine(const FString& Text, const FSlateFontInfo& Font, TArray<FSlateGlyphPlacement>& OutPlacements);
	/** The line's advance and height in pixels. */
	FVector2D MeasureText(const FString& Text, const FSlateFontInfo& Font);

private:
	struct FImpl;
	TUniquePtr<FImpl> Impl;
};
