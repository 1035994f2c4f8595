#pragma once

#include "CoreMinimal.h"
#include "Fonts/FontCache.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

struct FT_FaceRec_;
struct FT_LibraryRec_;
struct hb_font_t;

/**
 * One font face loaded through FreeType, with its HarfBuzz font for shaping, its line metrics
 * and rasterised glyphs per pixel size. A face of fixed bitmap sizes only (colour emoji) is
 * drawn from its strike scaled to the size asked for.
 */
class FFontFace
{
public:
	struct FSized
	{
		FSlateFontMetrics Metrics;
		// Node-based: glyph addresses survive later insertions, so placements can point at them.
		std::unordered_map<uint32, FSlateGlyph> Glyphs;
	};

	FFontFace(FT_FaceRec_* InFace, bool bInSlant);
	~FFontFace();
	FFontFace(const FFontFace&) = delete;
	FFontFace& operator=(const FFontFace&) = delete;

	bool HasCharacter(uint32 CodePoint) const;
	/** Whether the face draws in colour (emoji). */
	bool HasColour() const;
	/** Whether the face is an italic or oblique design. */
	bool IsItalic() const;
	/** Makes PixelSize the face's current size (for shaping too); null when the face cannot take it. */
	FSized* Activate(int32 PixelSize);
	/** Pixels asked for per pixel of the strike: 1 for scalable faces. */
	double StrikeScale(int32 PixelSize) const;
	/** The glyph at the active size PixelSize, rasterised on first use. */
	const FSlateGlyph* Glyph(FSized& Sized, int32 PixelSize, uint32 GlyphIndex);

	hb_font_t* Shaper = nullptr;

private:
	void Rasterize(int32 PixelSize, uint32 GlyphIndex, FSlateGlyph& OutGlyph) const;

	FT_FaceRec_* Face = nullptr;
	bool bFixedSizesOnly = false;
	int32 StrikePixels = 0;
	int32 ActivePixelSize = 0;
	std::unordered_map<int32, FSized> Sizes;
};

/** Every face loaded so far, found by file or by family through fontconfig. */
class FFontFaces
{
public:
	FFontFaces();
	~FFontFaces();
	FFontFaces(const FFontFaces&) = delete;
	FFontFaces& operator=(const FFontFaces&) = delete;

	static bool IsFamilyInstalled(const FString& Family);

	/** The first face in File; null (warned once) when it cannot be loaded. */
	FFontFace* FindFile(const FString& File);
	/**
	 * The family's face nearest to the style (slanted when it has no italic); null when the family
	 * is not installed, warned once when bWarn.
	 */
	FFontFace* FindFamily(const FString& Family, bool bBold, bool bItalic, bool bWarn);

private:
	FFontFace* Load(const std::string& File, int32 Index, bool bSlant);

	FT_LibraryRec_* Library = nullptr;
	bool bLibraryTried = false;
	/** By file, index and slant; null for a face that failed to load. */
	std::map<std::string, std::unique_ptr<FFontFace>> Loaded;
	/** By family and style: the key into Loaded, empty when the family is not installed. */
	std::map<std::string, std::string> Families;
};
