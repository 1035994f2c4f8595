#include "Fonts/FontCache.h"

#include "SlateCoreLog.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <unordered_map>

namespace
{
	const TCHAR* const DefaultRegularFile = TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
	const TCHAR* const DefaultBoldFile = TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");

	// Beyond this a single glyph bitmap would dwarf any target we draw into.
	constexpr int32 MaxPixelSize = 1024;

	int32 RoundFrom26Dot6(FT_Pos Value)
	{
		return static_cast<int32>((Value + 32) >> 6);
	}

	// Malformed UTF-8 becomes U+FFFD, so a bad string still lays out.
	uint32 NextCodePoint(const std::string& Text, SIZE_T& Index)
	{
		const auto Byte = [&Text](SIZE_T At) { return static_cast<uint32>(static_cast<unsigned char>(Text[At])); };
		const uint32 Lead = Byte(Index++);
		if (Lead < 0x80)
		{
			return Lead;
		}
		int32 Continuations = 0;
		uint32 CodePoint = 0;
		if ((Lead & 0xE0) == 0xC0)
		{
			Continuations = 1;
			CodePoint = Lead & 0x1F;
		}
		else if ((Lead & 0xF0) == 0xE0)
		{
			Continuations = 2;
			CodePoint = Lead & 0x0F;
		}
		else if ((Lead & 0xF8) == 0xF0)
		{
			Continuations = 3;
			CodePoint = Lead & 0x07;
		}
		else
		{
			return 0xFFFD;
		}
		for (int32 Count = 0; Count < Continuations; ++Count)
		{
			if (Index >= Text.size() || (Byte(Index) & 0xC0) != 0x80)
			{
				return 0xFFFD;
			}
			CodePoint = (CodePoint << 6) | (Byte(Index++) & 0x3F);
		}
		return CodePoint;
	}
} // namespace

struct FSlateFontCache::FImpl
{
	struct FSizedFace
	{
		FSlateFontMetrics Metrics;
		// Node-based: glyph addresses survive later insertions, so placements can point at them.
		std::unordered_map<uint32, FSlateGlyph> Glyphs;
	};

	struct FFace
	{
		FString File;
		FT_Face Face = nullptr;
		bool bLoadTried = false;
		int32 ActivePixelSize = 0;
		std::unordered_map<int32, FSizedFace> Sizes;
	};

	FT_Library Library = nullptr;
	bool bLibraryTried = false;
	FFace Faces[2];

	~FImpl()
	{
		DropFaces();
		if (Library)
		{
			FT_Done_FreeType(Library);
		}
	}

	void DropFaces()
	{
		for (FFace& Face : Faces)
		{
			if (Face.Face)
			{
				FT_Done_Face(Face.Face);
			}
			Face.Face = nullptr;
			Face.bLoadTried = false;
			Face.ActivePixelSize = 0;
			Face.Sizes.clear();
		}
	}

	FFace* LoadFace(bool bBold)
	{
		FFace& Face = Faces[bBold ? 1 : 0];
		if (!Face.bLoadTried)
		{
			// Tried once per file setting: a missing file warns once, not on every paint.
			Face.bLoadTried = true;
			if (!bLibraryTried)
			{
				bLibraryTried = true;
				if (FT_Init_FreeType(&Library) != 0)
				{
					Library = nullptr;
				}
			}
			if (!Library || FT_New_Face(Library, *Face.File, 0, &Face.Face) != 0)
			{
				Face.Face = nullptr;
				UE_LOG(LogSlate, Warning, TEXT("Font file '%s' could not be loaded; text in it draws nothing"), *Face.File);
			}
		}
		return Face.Face ? &Face : nullptr;
	}

	FSizedFace* GetSizedFace(const FSlateFontInfo& Font, FFace*& OutFace)
	{
		if (Font.Size <= 0 || Font.Size > MaxPixelSize)
		{
			return nullptr;
		}
		OutFace = LoadFace(Font.bBold);
		if (!OutFace)
		{
			return nullptr;
		}
		auto Found = OutFace->Sizes.find(Font.Size);
		if (Found != OutFace->Sizes.end())
		{
			return &Found->second;
		}
		if (!ActivateSize(*OutFace, Font.Size))
		{
			return nullptr;
		}
		FSizedFace& Sized = OutFace->Sizes[Font.Size];
		const FT_Size_Metrics& SizeMetrics = OutFace->Face->size->metrics;
		Sized.Metrics.Ascender = RoundFrom26Dot6(SizeMetrics.ascender);
		Sized.Metrics.Descender = -RoundFrom26Dot6(SizeMetrics.descender);
		Sized.Metrics.LineHeight = RoundFrom26Dot6(SizeMetrics.height);
		return &Sized;
	}

	static bool ActivateSize(FFace& Face, int32 PixelSize)
	{
		if (Face.ActivePixelSize != PixelSize)
		{
			if (FT_Set_Pixel_Sizes(Face.Face, 0, static_cast<FT_UInt>(PixelSize)) != 0)
			{
				return false;
			}
			Face.ActivePixelSize = PixelSize;
		}
		return true;
	}

	static void Rasterize(FFace& Face, int32 PixelSize, uint32 CodePoint, FSlateGlyph& OutGlyph)
	{
		if (!ActivateSize(Face, PixelSize) || FT_Load_Char(Face.Face, CodePoint, FT_LOAD_RENDER) != 0)
		{
			return;
		}
		const FT_GlyphSlot Slot = Face.Face->glyph;
		OutGlyph.Advance64 = static_cast<int32>(Slot->advance.x);
		const FT_Bitmap& Bitmap = Slot->bitmap;
		if (Bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || Bitmap.width == 0 || Bitmap.rows == 0)
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
};

FSlateFontCache& FSlateFontCache::Get()
{
	static FSlateFontCache Cache;
	return Cache;
}

FSlateFontCache::FSlateFontCache()
	: Impl(MakeUnique<FImpl>())
{
	ResetFontFiles();
}

FSlateFontCache::~FSlateFontCache() = default;

void FSlateFontCache::SetFontFiles(const FString& RegularFile, const FString& BoldFile)
{
	Impl->DropFaces();
	Impl->Faces[0].File = RegularFile;
	Impl->Faces[1].File = BoldFile;
}

void FSlateFontCache::ResetFontFiles()
{
	SetFontFiles(DefaultRegularFile, DefaultBoldFile);
}

const FString& FSlateFontCache::GetFontFile(bool bBold) const
{
	return Impl->Faces[bBold ? 1 : 0].File;
}

bool FSlateFontCache::GetMetrics(const FSlateFontInfo& Font, FSlateFontMetrics& OutMetrics)
{
	FImpl::FFace* Face = nullptr;
	const FImpl::FSizedFace* Sized = Impl->GetSizedFace(Font, Face);
	if (!Sized)
	{
		return false;
	}
	OutMetrics = Sized->Metrics;
	return true;
}

const FSlateGlyph* FSlateFontCache::GetGlyph(const FSlateFontInfo& Font, uint32 CodePoint)
{
	FImpl::FFace* Face = nullptr;
	FImpl::FSizedFace* Sized = Impl->GetSizedFace(Font, Face);
	if (!Sized)
	{
		return nullptr;
	}
	auto Found = Sized->Glyphs.find(CodePoint);
	if (Found != Sized->Glyphs.end())
	{
		return &Found->second;
	}
	FSlateGlyph& Glyph = Sized->Glyphs[CodePoint];
	FImpl::Rasterize(*Face, Font.Size, CodePoint, Glyph);
	return &Glyph;
}

int32 FSlateFontCache::LayoutLine(const FString& Text, const FSlateFontInfo& Font, TArray<FSlateGlyphPlacement>& OutPlacements)
{
	const std::string& Utf8 = Text.ToStdString();
	int64 Pen64 = 0;
	SIZE_T Index = 0;
	while (Index < Utf8.size())
	{
		const uint32 CodePoint = NextCodePoint(Utf8, Index);
		if (CodePoint < 0x20)
		{
			continue;
		}
		const FSlateGlyph* Glyph = GetGlyph(Font, CodePoint);
		if (!Glyph)
		{
			return 0;
		}
		OutPlacements.Add({Glyph, static_cast<int32>((Pen64 + 32) >> 6)});
		Pen64 += Glyph->Advance64;
	}
	return static_cast<int32>((Pen64 + 32) >> 6);
}

FVector2D FSlateFontCache::MeasureText(const FString& Text, const FSlateFontInfo& Font)
{
	FSlateFontMetrics Metrics;
	if (Text.IsEmpty() || !GetMetrics(Font, Metrics))
	{
		return FVector2D::ZeroVector;
	}
	TArray<FSlateGlyphPlacement> Placements;
	const int32 Width = LayoutLine(Text, Font, Placements);
	return FVector2D(Width, Metrics.LineHeight);
}
