#include "Fonts/FontCache.h"

#include "FontFaces.h"
#include "SlateCoreLog.h"

#include <hb-ft.h>
#include <hb.h>

#include <string>
#include <unordered_map>

namespace
{
	// The engine's font by style: regular, bold, italic, bold italic.
	const TCHAR* const EngineFontFiles[] = {
		TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
		TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"),
		TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf"),
		TEXT("/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf"),
	};

	// Tried in order for characters the text's own face lacks.
	const char* const FallbackFamilies[] = {"DejaVu Sans", "WenQuanYi Micro Hei", "Noto Color Emoji"};

	// Beyond this a single glyph bitmap would dwarf any target we draw into.
	constexpr int32 MaxPixelSize = 1024;
	// Shaped lines kept at most; a widget redraws the same few lines every frame.
	constexpr SIZE_T MaxShapedLines = 4096;

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

	/** Characters that take the face of the character before them rather than choosing one. */
	bool FollowsPrevious(uint32 CodePoint)
	{
		return CodePoint == 0x200D // zero-width joiner
			|| (CodePoint >= 0xFE00 && CodePoint <= 0xFE0F) // variation selectors
			|| (CodePoint >= 0x0300 && CodePoint <= 0x036F) // combining marks
			|| (CodePoint >= 0x1F3FB && CodePoint <= 0x1F3FF); // skin tones
	}

	/** Pictographs shown as emoji by default: a colour face draws them before any text face does. */
	bool PrefersColour(uint32 CodePoint)
	{
		return CodePoint >= 0x1F000 && CodePoint <= 0x1FAFF;
	}

	struct FCharacter
	{
		uint32 CodePoint = 0;
		uint32 ByteOffset = 0;
	};

	std::string LayoutKey(const std::string& Text, const FSlateFontInfo& Font)
	{
		return std::to_string(Font.Size) + (Font.bBold ? "b" : "-") + (Font.bItalic ? "i" : "-") + Font.Family.ToLower().ToStdString() + '\n' + Text;
	}
} // namespace

struct FSlateFontCache::FImpl
{
	struct FShapedLine
	{
		TArray<FSlateGlyphPlacement> Placements;
		int32 Advance = 0;
	};

	FFontFaces Faces;
	hb_buffer_t* Buffer = hb_buffer_create();
	std::unordered_map<std::string, FShapedLine> Lines;

	~FImpl() { hb_buffer_destroy(Buffer); }

	/** The text's own face: the engine's font's file for the style, or the family's through fontconfig. */
	FFontFace* PrimaryFace(const FSlateFontInfo& Font)
	{
		if (Font.Family.IsEmpty())
		{
			const int32 Style = (Font.bBold ? 1 : 0) + (Font.bItalic ? 2 : 0);
			return Faces.FindFile(EngineFontFiles[Style]);
		}
		return Faces.FindFamily(Font.Family, Font.bBold, Font.bItalic, true);
	}

	/** The faces a character is looked for in, own face first; null entries are faces that are not there. */
	void Chain(const FSlateFontInfo& Font, FFontFace* Primary, TArray<FFontFace*>& OutChain)
	{
		OutChain.Reset();
		OutChain.Add(Primary);
		for (const char* Family : FallbackFamilies)
		{
			FFontFace* Fallback = Faces.FindFamily(FString(Family), Font.bBold, Font.bItalic, false);
			if (Fallback && Fallback != Primary)
			{
				OutChain.Add(Fallback);
			}
		}
	}

	/** Shapes Utf8[Start, End) in Face and appends the placements; returns the pen after it in 1/64 pixel. */
	int64 ShapeRun(const std::string& Utf8, uint32 Start, uint32 End, FFontFace& Face, int32 PixelSize, int64 Pen64,
		TArray<FSlateGlyphPlacement>& OutPlacements)
	{
		FFontFace::FSized* Sized = Face.Activate(PixelSize);
		if (!Sized)
		{
			return Pen64;
		}
		hb_buffer_clear_contents(Buffer);
		hb_buffer_add_utf8(Buffer, Utf8.data(), static_cast<int>(Utf8.size()), Start, static_cast<int>(End - Start));
		hb_buffer_guess_segment_properties(Buffer);
		hb_shape(Face.Shaper, Buffer, nullptr, 0);
		unsigned int Count = 0;
		const hb_glyph_info_t* Infos = hb_buffer_get_glyph_infos(Buffer, &Count);
		const hb_glyph_position_t* Positions = hb_buffer_get_glyph_positions(Buffer, &Count);
		const double Scale = Face.StrikeScale(PixelSize);
		for (unsigned int Index = 0; Index < Count; ++Index)
		{
			const FSlateGlyph* Glyph = Face.Glyph(*Sized, PixelSize, Infos[Index].codepoint);
			const int64 X64 = Pen64 + static_cast<int64>(Positions[Index].x_offset * Scale);
			const int64 Y64 = static_cast<int64>(Positions[Index].y_offset * Scale);
			if (Glyph)
			{
				OutPlacements.Add({Glyph, static_cast<int32>((X64 + 32) >> 6), static_cast<int32>((Y64 + 32) >> 6)});
			}
			Pen64 += static_cast<int64>(Positions[Index].x_advance * Scale);
		}
		return Pen64;
	}

	const FShapedLine* Shape(const FString& Text, const FSlateFontInfo& Font)
	{
		if (Font.Size <= 0 || Font.Size > MaxPixelSize)
		{
			return nullptr;
		}
		const std::string& Utf8 = Text.ToStdString();
		const std::string Key = LayoutKey(Utf8, Font);
		const auto Found = Lines.find(Key);
		if (Found != Lines.end())
		{
			return &Found->second;
		}
		FFontFace* Primary = PrimaryFace(Font);
		if (!Primary || !Primary->Activate(Font.Size))
		{
			return nullptr;
		}
		if (Lines.size() >= MaxShapedLines)
		{
			Lines.clear();
		}
		FShapedLine& Line = Lines[Key];

		TArray<FFontFace*> Faces;
		Chain(Font, Primary, Faces);
		// Each character takes the first face that has it (the own face when none has); runs of one face are shaped together.
		TArray<FCharacter> Characters;
		for (SIZE_T Index = 0; Index < Utf8.size();)
		{
			const uint32 Offset = static_cast<uint32>(Index);
			Characters.Add({NextCodePoint(Utf8, Index), Offset});
		}
		int64 Pen64 = 0;
		FFontFace* RunFace = nullptr;
		uint32 RunStart = 0;
		for (int32 Index = 0; Index <= Characters.Num(); ++Index)
		{
			FFontFace* Face = nullptr;
			if (Index < Characters.Num())
			{
				const uint32 CodePoint = Characters[Index].CodePoint;
				if (CodePoint < 0x20)
				{
					Face = nullptr;
				}
				else if (RunFace && (FollowsPrevious(CodePoint) || CodePoint == 0x20 || RunFace->HasCharacter(CodePoint)))
				{
					Face = RunFace;
				}
				else
				{
					Face = Primary;
					bool bFound = false;
					if (PrefersColour(CodePoint))
					{
						for (FFontFace* Candidate : Faces)
						{
							if (!bFound && Candidate->HasColour() && Candidate->HasCharacter(CodePoint))
							{
								Face = Candidate;
								bFound = true;
							}
						}
					}
					for (FFontFace* Candidate : Faces)
					{
						if (!bFound && Candidate->HasCharacter(CodePoint))
						{
							Face = Candidate;
							bFound = true;
						}
					}
				}
			}
			const uint32 Offset = Index < Characters.Num() ? Characters[Index].ByteOffset : static_cast<uint32>(Utf8.size());
			if (Face != RunFace || Index == Characters.Num())
			{
				if (RunFace)
				{
					Pen64 = ShapeRun(Utf8, RunStart, Offset, *RunFace, Font.Size, Pen64, Line.Placements);
				}
				RunFace = Face;
				RunStart = Offset;
			}
		}
		Line.Advance = static_cast<int32>((Pen64 + 32) >> 6);
		return &Line;
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
}

FSlateFontCache::~FSlateFontCache() = default;

bool FSlateFontCache::IsFamilyInstalled(const FString& Family)
{
	return Family.IsEmpty() || FFontFaces::IsFamilyInstalled(Family);
}

bool FSlateFontCache::GetMetrics(const FSlateFontInfo& Font, FSlateFontMetrics& OutMetrics)
{
	if (Font.Size <= 0 || Font.Size > MaxPixelSize)
	{
		return false;
	}
	FFontFace* Face = Impl->PrimaryFace(Font);
	const FFontFace::FSized* Sized = Face ? Face->Activate(Font.Size) : nullptr;
	if (!Sized)
	{
		return false;
	}
	OutMetrics = Sized->Metrics;
	return true;
}

int32 FSlateFontCache::LayoutLine(const FString& Text, const FSlateFontInfo& Font, TArray<FSlateGlyphPlacement>& OutPlacements)
{
	const FImpl::FShapedLine* Line = Impl->Shape(Text, Font);
	if (!Line)
	{
		return 0;
	}
	for (const FSlateGlyphPlacement& Placement : Line->Placements)
	{
		OutPlacements.Add(Placement);
	}
	return Line->Advance;
}

FVector2D FSlateFontCache::MeasureText(const FString& Text, const FSlateFontInfo& Font)
{
	FSlateFontMetrics Metrics;
	if (Text.IsEmpty() || !GetMetrics(Font, Metrics))
	{
		return FVector2D::ZeroVector;
	}
	const FImpl::FShapedLine* Line = Impl->Shape(Text, Font);
	return FVector2D(Line ? Line->Advance : 0, Metrics.LineHeight);
}
