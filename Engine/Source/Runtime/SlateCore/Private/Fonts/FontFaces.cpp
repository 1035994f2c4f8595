#include "FontFaces.h"

#include "SlateCoreLog.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>

#include <algorithm>
#include <cmath>

namespace
{
	// The slant of an italic made from an upright face: about 12 degrees, in 16.16 fixed point.
	constexpr FT_Fixed SlantShear = 0x3333;

	int32 RoundFrom26Dot6(FT_Pos Value)
	{
		return static_cast<int32>((Value + 32) >> 6);
	}

	std::string FaceKey(const std::string& File, int32 Index, bool bSlant)
	{
		return File + '#' + std::to_string(Index) + (bSlant ? "/slant" : "");
	}

	/** fontconfig, set up on first use and torn down at exit, so that its configuration is not left behind as a leak. */
	bool EnsureFontconfig()
	{
		struct FFontconfig
		{
			bool bReady = FcInit() != 0;
			~FFontconfig()
			{
				if (bReady)
				{
					FcFini();
				}
			}
		};
		static FFontconfig Fontconfig;
		return Fontconfig.bReady;
	}

	/** fontconfig's best match for the family and style; false when no installed family has that name. */
	bool MatchFamily(const FString& Family, bool bBold, bool bItalic, std::string& OutFile, int32& OutIndex)
	{
		if (!EnsureFontconfig())
		{
			return false;
		}
		const std::string Name = Family.ToStdString();
		FcPattern* Pattern = FcPatternCreate();
		FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Name.c_str()));
		FcPatternAddInteger(Pattern, FC_WEIGHT, bBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
		FcPatternAddInteger(Pattern, FC_SLANT, bItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
		FcConfigSubstitute(nullptr, Pattern, FcMatchPattern);
		FcDefaultSubstitute(Pattern);
		FcResult Result = FcResultNoMatch;
		FcPattern* Match = FcFontMatch(nullptr, Pattern, &Result);
		FcPatternDestroy(Pattern);
		if (!Match)
		{
			return false;
		}
		// fontconfig always answers with some font; only one of the asked family counts.
		bool bFamilyMatches = false;
		FcChar8* MatchedName = nullptr;
		for (int32 Index = 0; FcPatternGetString(Match, FC_FAMILY, Index, &MatchedName) == FcResultMatch; ++Index)
		{
			bFamilyMatches = bFamilyMatches || FcStrCmpIgnoreCase(MatchedName, reinterpret_cast<const FcChar8*>(Name.c_str())) == 0;
		}
		FcChar8* File = nullptr;
		int Index = 0;
		const bool bFound = bFamilyMatches && FcPatternGetString(Match, FC_FILE, 0, &File) == FcResultMatch;
		if (bFound)
		{
			// fontconfig's own slant says oblique where it would only synthesise one; the face itself tells.
			OutFile = reinterpret_cast<const char*>(File);
			FcPatternGetInteger(Match, FC_INDEX, 0, &Index);
			OutIndex = Index;
		}
		FcPatternDestroy(Match);
		return bFound;
	}

	/** An 8-bit sRGB premultiplied BGRA bitmap scaled by Scale (box filter) into linear premultiplied pixels. */
	void ResampleColour(const FT_Bitmap& Bitmap, double Scale, FSlateGlyph& OutGlyph)
	{
		const int32 SourceWidth = static_cast<int32>(Bitmap.width);
		const int32 SourceHeight = static_cast<int32>(Bitmap.rows);
		OutGlyph.Width = FMath::Max(1, static_cast<int32>(std::lround(SourceWidth * Scale)));
		OutGlyph.Height = FMath::Max(1, static_cast<int32>(std::lround(SourceHeight * Scale)));
		OutGlyph.Colors.SetNum(OutGlyph.Width * OutGlyph.Height);
		for (int32 Y = 0; Y < OutGlyph.Height; ++Y)
		{
			const int32 Y0 = FMath::Min(static_cast<int32>(Y / Scale), SourceHeight - 1);
			const int32 Y1 = FMath::Clamp(static_cast<int32>(std::ceil((Y + 1) / Scale)), Y0 + 1, SourceHeight);
			for (int32 X = 0; X < OutGlyph.Width; ++X)
			{
				const int32 X0 = FMath::Min(static_cast<int32>(X / Scale), SourceWidth - 1);
				const int32 X1 = FMath::Clamp(static_cast<int32>(std::ceil((X + 1) / Scale)), X0 + 1, SourceWidth);
				FLinearColor Sum(0.f, 0.f, 0.f, 0.f);
				for (int32 SourceY = Y0; SourceY < Y1; ++SourceY)
				{
					const unsigned char* Row = Bitmap.buffer + static_cast<ptrdiff_t>(SourceY) * Bitmap.pitch;
					for (int32 SourceX = X0; SourceX < X1; ++SourceX)
					{
						const unsigned char* Texel = Row + 4 * SourceX;
						const float Alpha = Texel[3] / 255.f;
						if (Alpha <= 0.f)
						{
							continue;
						}
						// Premultiplied in display encoding: straighten, decode, premultiply again in linear light.
						const auto Linear = [Alpha](unsigned char Code) { return FLinearColor::SRGBToLinear(FMath::Min(Code / 255.f / Alpha, 1.f)) * Alpha; };
						Sum = Sum + FLinearColor(Linear(Texel[2]), Linear(Texel[1]), Linear(Texel[0]), Alpha);
					}
				}
				OutGlyph.Colors[Y * OutGlyph.Width + X] = Sum * (1.f / static_cast<float>((Y1 - Y0) * (X1 - X0)));
			}
		}
	}
} // namespace

FFontFace::FFontFace(FT_FaceRec_* InFace, bool bInSlant)
	: Face(InFace)
{
	bFixedSizesOnly = !FT_IS_SCALABLE(Face) && Face->num_fixed_sizes > 0;
	if (bFixedSizesOnly)
	{
		// The largest strike: drawn smaller, it stays sharp.
		int32 Best = 0;
		for (int32 Index = 1; Index < Face->num_fixed_sizes; ++Index)
		{
			Best = Face->available_sizes[Index].y_ppem > Face->available_sizes[Best].y_ppem ? Index : Best;
		}
		if (FT_Select_Size(Face, Best) == 0)
		{
			StrikePixels = RoundFrom26Dot6(Face->available_sizes[Best].y_ppem);
		}
	}
	if (bInSlant)
	{
		FT_Matrix Shear{0x10000, SlantShear, 0, 0x10000};
		FT_Set_Transform(Face, &Shear, nullptr);
	}
	Shaper = hb_ft_font_create_referenced(Face);
}

FFontFace::~FFontFace()
{
	hb_font_destroy(Shaper);
	FT_Done_Face(Face);
}

bool FFontFace::HasColour() const
{
	return FT_HAS_COLOR(Face);
}

bool FFontFace::IsItalic() const
{
	return (Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

bool FFontFace::HasCharacter(uint32 CodePoint) const
{
	return FT_Get_Char_Index(Face, CodePoint) != 0;
}

double FFontFace::StrikeScale(int32 PixelSize) const
{
	return bFixedSizesOnly && StrikePixels > 0 ? static_cast<double>(PixelSize) / StrikePixels : 1.0;
}

FFontFace::FSized* FFontFace::Activate(int32 PixelSize)
{
	if (bFixedSizesOnly && StrikePixels <= 0)
	{
		return nullptr;
	}
	if (!bFixedSizesOnly && ActivePixelSize != PixelSize)
	{
		if (FT_Set_Pixel_Sizes(Face, 0, static_cast<FT_UInt>(PixelSize)) != 0)
		{
			return nullptr;
		}
		ActivePixelSize = PixelSize;
		hb_ft_font_changed(Shaper);
	}
	auto Found = Sizes.find(PixelSize);
	if (Found != Sizes.end())
	{
		return &Found->second;
	}
	FSized& Sized = Sizes[PixelSize];
	const FT_Size_Metrics& SizeMetrics = Face->size->metrics;
	const double Scale = StrikeScale(PixelSize);
	Sized.Metrics.Ascender = static_cast<int32>(std::lround(RoundFrom26Dot6(SizeMetrics.ascender) * Scale));
	Sized.Metrics.LineHeight = static_cast<int32>(std::lround(RoundFrom26Dot6(SizeMetrics.height) * Scale));
	return &Sized;
}

const FSlateGlyph* FFontFace::Glyph(FSized& Sized, int32 PixelSize, uint32 GlyphIndex)
{
	auto Found = Sized.Glyphs.find(GlyphIndex);
	if (Found != Sized.Glyphs.end())
	{
		return &Found->second;
	}
	FSlateGlyph& Glyph = Sized.Glyphs[GlyphIndex];
	if (Activate(PixelSize))
	{
		Rasterize(PixelSize, GlyphIndex, Glyph);
	}
	return &Glyph;
}

void FFontFace::Rasterize(int32 PixelSize, uint32 GlyphIndex, FSlateGlyph& OutGlyph) const
{
	const FT_Int32 Flags = FT_LOAD_RENDER | (FT_HAS_COLOR(Face) ? FT_LOAD_COLOR : 0);
	if (FT_Load_Glyph(Face, GlyphIndex, Flags) != 0)
	{
		return;
	}
	const FT_GlyphSlot Slot = Face->glyph;
	const FT_Bitmap& Bitmap = Slot->bitmap;
	if (Bitmap.width == 0 || Bitmap.rows == 0)
	{
		return;
	}
	if (Bitmap.pixel_mode == FT_PIXEL_MODE_BGRA)
	{
		const double Scale = StrikeScale(PixelSize);
		OutGlyph.bColor = true;
		ResampleColour(Bitmap, Scale, OutGlyph);
		OutGlyph.OffsetX = static_cast<int32>(std::lround(Slot->bitmap_left * Scale));
		OutGlyph.OffsetY = static_cast<int32>(std::lround(Slot->bitmap_top * Scale));
		return;
	}
	if (Bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
	{
		return;
	}
	OutGlyph.Width = static_cast<int32>(Bitmap.width);
	OutGlyph.Height = static_cast<int32>(Bitmap.rows);
	OutGlyph.OffsetX = Slot->bitmap_left;
	OutGlyph.OffsetY = Slot->bitmap_top;
	OutGlyph.Coverage.SetNum(OutGlyph.Width * OutGlyph.Height);
	const int32 Levels = Bitmap.num_grays > 1 ? Bitmap.num_grays - 1 : 255;
	for (int32 Row = 0; Row < OutGlyph.Height; ++Row)
	{
		const unsigned char* Source = Bitmap.buffer + static_cast<ptrdiff_t>(Row) * Bitmap.pitch;
		uint8* Destination = OutGlyph.Coverage.GetData() + Row * OutGlyph.Width;
		for (int32 Column = 0; Column < OutGlyph.Width; ++Column)
		{
			Destination[Column] = static_cast<uint8>(Levels == 255 ? Source[Column] : Source[Column] * 255 / Levels);
		}
	}
}

FFontFaces::FFontFaces() = default;

FFontFaces::~FFontFaces()
{
	// The faces go before the library that made them.
	Loaded.clear();
	if (Library)
	{
		FT_Done_FreeType(Library);
	}
}

bool FFontFaces::IsFamilyInstalled(const FString& Family)
{
	std::string File;
	int32 Index = 0;
	return MatchFamily(Family, false, false, File, Index);
}

FFontFace* FFontFaces::Load(const std::string& File, int32 Index, bool bSlant)
{
	const std::string Key = FaceKey(File, Index, bSlant);
	auto Found = Loaded.find(Key);
	if (Found != Loaded.end())
	{
		return Found->second.get();
	}
	// Tried once: a missing file warns once, not on every paint.
	std::unique_ptr<FFontFace>& Entry = Loaded[Key];
	if (!bLibraryTried)
	{
		bLibraryTried = true;
		if (FT_Init_FreeType(&Library) != 0)
		{
			Library = nullptr;
		}
	}
	FT_Face Face = nullptr;
	if (!Library || FT_New_Face(Library, File.c_str(), Index, &Face) != 0)
	{
		UE_LOG(LogSlate, Warning, TEXT("Font file '%s' could not be loaded; text in it draws nothing"), *FString(File));
		return nullptr;
	}
	Entry = std::make_unique<FFontFace>(Face, bSlant);
	return Entry.get();
}

FFontFace* FFontFaces::FindFile(const FString& File)
{
	return Load(File.ToStdString(), 0, false);
}

FFontFace* FFontFaces::FindFamily(const FString& Family, bool bBold, bool bItalic, bool bWarn)
{
	const std::string StyleKey = Family.ToLower().ToStdString() + (bBold ? "/b" : "/-") + (bItalic ? "i" : "-");
	auto Found = Families.find(StyleKey);
	if (Found == Families.end())
	{
		std::string File;
		int32 Index = 0;
		std::string FaceKeyFound;
		if (MatchFamily(Family, bBold, bItalic, File, Index))
		{
			// A family without an italic face is slanted.
			const FFontFace* Upright = Load(File, Index, false);
			const bool bSlant = bItalic && Upright && !Upright->IsItalic();
			FaceKeyFound = FaceKey(File, Index, bSlant);
			Load(File, Index, bSlant);
		}
		else if (bWarn)
		{
			UE_LOG(LogSlate, Warning, TEXT("Font family '%s' is not installed; text in it draws nothing"), *Family);
		}
		Found = Families.emplace(StyleKey, FaceKeyFound).first;
	}
	if (Found->second.empty())
	{
		return nullptr;
	}
	const auto Face = Loaded.find(Found->second);
	return Face == Loaded.end() ? nullptr : Face->second.get();
}
