#include "TextLines.h"

#include "Fonts/FontCache.h"

#include <cmath>
#include <string>

namespace
{
	/** Ideographs and kana stand alone: a line may break before or after each of them. */
	bool IsBreakableIdeograph(uint32 CodePoint)
	{
		return (CodePoint >= 0x2E80 && CodePoint <= 0x9FFF) || (CodePoint >= 0xAC00 && CodePoint <= 0xD7AF) || (CodePoint >= 0xF900 && CodePoint <= 0xFAFF)
			|| (CodePoint >= 0xFF00 && CodePoint <= 0xFFEF) || (CodePoint >= 0x20000 && CodePoint <= 0x3FFFF);
	}

	/** The code point starting at Index (enough of UTF-8 to tell ideographs apart) and how many bytes it takes. */
	uint32 PeekCodePoint(const std::string& Text, SIZE_T Index, SIZE_T& OutLength)
	{
		const unsigned char Lead = static_cast<unsigned char>(Text[Index]);
		OutLength = Lead < 0x80 ? 1 : (Lead & 0xE0) == 0xC0 ? 2
			: (Lead & 0xF0) == 0xE0                         ? 3
			: (Lead & 0xF8) == 0xF0                         ? 4
															: 1;
		if (Index + OutLength > Text.size())
		{
			OutLength = 1;
			return 0xFFFD;
		}
		uint32 CodePoint = OutLength == 1 ? Lead : Lead & (0x7F >> OutLength);
		for (SIZE_T Next = 1; Next < OutLength; ++Next)
		{
			CodePoint = (CodePoint << 6) | (static_cast<unsigned char>(Text[Index + Next]) & 0x3F);
		}
		return CodePoint;
	}

	/** Words of a paragraph: the text up to each break opportunity, with the spaces before it. */
	struct FWord
	{
		std::string Spaces;
		std::string Text;
	};

	TArray<FWord> SplitWords(const std::string& Paragraph)
	{
		TArray<FWord> Words;
		FWord Current;
		bool bLastIdeograph = false;
		for (SIZE_T Index = 0; Index < Paragraph.size();)
		{
			SIZE_T Length = 1;
			const uint32 CodePoint = PeekCodePoint(Paragraph, Index, Length);
			const std::string Character = Paragraph.substr(Index, Length);
			Index += Length;
			if (CodePoint == ' ')
			{
				if (!Current.Text.empty())
				{
					Words.Add(Current);
					Current = FWord();
				}
				Current.Spaces += Character;
				bLastIdeograph = false;
				continue;
			}
			const bool bIdeograph = IsBreakableIdeograph(CodePoint);
			if ((bIdeograph || bLastIdeograph) && !Current.Text.empty())
			{
				Words.Add(Current);
				Current = FWord();
			}
			Current.Text += Character;
			bLastIdeograph = bIdeograph;
		}
		if (!Current.Text.empty() || !Current.Spaces.empty())
		{
			Words.Add(Current);
		}
		return Words;
	}

	double Width(const std::string& Text, const FSlateFontInfo& Font)
	{
		return FSlateFontCache::Get().MeasureText(FString(Text), Font).X;
	}

	/** Greedy: as many words on a line as fit; spaces at a break are dropped. */
	void WrapParagraph(const std::string& Paragraph, const FSlateFontInfo& Font, float WrapWidth, TArray<std::string>& OutLines)
	{
		if (!(WrapWidth > 0.f))
		{
			OutLines.Add(Paragraph);
			return;
		}
		std::string Line;
		bool bFirstLine = true;
		for (const FWord& Word : SplitWords(Paragraph))
		{
			if (Line.empty())
			{
				// Spaces that open the paragraph indent it; spaces at a break go with the break.
				Line = (bFirstLine ? Word.Spaces : std::string()) + Word.Text;
				continue;
			}
			const std::string Longer = Line + Word.Spaces + Word.Text;
			if (Width(Longer, Font) <= WrapWidth)
			{
				Line = Longer;
				continue;
			}
			OutLines.Add(Line);
			bFirstLine = false;
			Line = Word.Text;
		}
		OutLines.Add(Line);
	}
} // namespace

TArray<FTextLine> BreakTextIntoLines(const FString& Text, const FSlateFontInfo& Font, float WrapWidth, EWidgetTextAlignment Alignment)
{
	const std::string& Utf8 = Text.ToStdString();
	if (Alignment == EWidgetTextAlignment::Left && !(WrapWidth > 0.f) && Utf8.find('\n') == std::string::npos)
	{
		// The common case, painted every frame: one line where the element stands.
		return TArray<FTextLine>{FTextLine{Text, 0.0, 0.0}};
	}
	TArray<std::string> Lines;
	SIZE_T Start = 0;
	while (true)
	{
		const SIZE_T End = Utf8.find('\n', Start);
		WrapParagraph(Utf8.substr(Start, End == std::string::npos ? std::string::npos : End - Start), Font, WrapWidth, Lines);
		if (End == std::string::npos)
		{
			break;
		}
		Start = End + 1;
	}

	const double LineHeight = FSlateFontCache::Get().MeasureText(FString("H"), Font).Y;
	const double Box = WrapWidth > 0.f ? WrapWidth : 0.0;
	TArray<FTextLine> Result;
	for (int32 Index = 0; Index < Lines.Num(); ++Index)
	{
		FTextLine& Line = Result.AddDefaulted_GetRef();
		Line.Text = FString(Lines[Index]);
		Line.OffsetY = Index * LineHeight;
		const double LineWidth = Width(Lines[Index], Font);
		switch (Alignment)
		{
		case EWidgetTextAlignment::Left:
			Line.OffsetX = 0.0;
			break;
		case EWidgetTextAlignment::Center:
			Line.OffsetX = std::floor((Box - LineWidth) * 0.5);
			break;
		case EWidgetTextAlignment::Right:
			Line.OffsetX = Box - LineWidth;
			break;
		}
	}
	return Result;
}
