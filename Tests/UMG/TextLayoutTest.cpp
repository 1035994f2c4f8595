// Text as typesetters expect it: shaped with kerning, characters the face lacks drawn from
// fallback fonts, italic and font families, alignment and wrapping. Uses only the fonts that
// scripts/bootstrap.sh installs.

#include "LogCapture.h"
#include "UMGTestFixture.h"

namespace
{
	const FString MissingFamily(TEXT("No Such Family 7"));

	/** Draws one text element, white, into a fresh target cleared to opaque black. */
	UTextureRenderTarget2D* DrawText(const FWidgetElement& Element, int32 Width = 600, int32 Height = 200)
	{
		UTextureRenderTarget2D* Target = FUMGTest::MakeTarget(Width, Height);
		FWidgetRenderer Renderer(true, true);
		Renderer.DrawWidget(Target, FUMGTest::MakeWidget({Element})->TakeWidget(), FVector2D(Width, Height), 0.f);
		return Target;
	}

	FWidgetElement Styled(const FString& Content, bool bItalic, const FString& Family = FString())
	{
		FWidgetElement Element = FUMGTest::Text(10, 10, Content, 40);
		Element.bItalic = bItalic;
		Element.FontFamily = Family;
		return Element;
	}

	FWidgetElement Wrapped(const FString& Content, float WrapWidth, EWidgetTextAlignment Alignment)
	{
		FWidgetElement Element = FUMGTest::Text(10, 10, Content, 24);
		Element.WrapWidth = WrapWidth;
		Element.Alignment = Alignment;
		return Element;
	}
} // namespace

using TextShaping = FUMGTest;

TEST_F(TextShaping, KernedPairsSetTighterThanTheSameLettersUnpaired)
{
	const FUMGTest::FInk Alternating = MeasureInk(DrawText(Text(10, 10, TEXT("VAVAVAVAVA"), 48)));
	const FUMGTest::FInk Grouped = MeasureInk(DrawText(Text(10, 10, TEXT("VVVVVAAAAA"), 48)));
	ASSERT_FALSE(Grouped.IsEmpty());
	// Nine "VA"/"AV" pairs against one: kerning pulls each in by several pixels at this size.
	EXPECT_LT(Alternating.Width(), Grouped.Width() - 20) << Alternating.Width() << " vs " << Grouped.Width();
}

TEST_F(TextShaping, MeasuredWidthFollowsTheKernedLayout)
{
	const FSlateFontInfo Font(48);
	EXPECT_LT(FSlateFontCache::Get().MeasureText(TEXT("AVAVAV"), Font).X, FSlateFontCache::Get().MeasureText(TEXT("AAAVVV"), Font).X);
}

using TextFallback = FUMGTest;

TEST_F(TextFallback, JapaneseCharactersDrawTheirOwnGlyphsNotMissingBoxes)
{
	const FUMGTest::FInk Day = MeasureInk(DrawText(Text(10, 10, TEXT("日"), 40)));
	const FUMGTest::FInk Word = MeasureInk(DrawText(Text(10, 10, TEXT("語"), 40)));
	ASSERT_FALSE(Day.IsEmpty());
	ASSERT_FALSE(Word.IsEmpty());
	// Missing-glyph boxes would be identical; "語" has far more strokes than "日".
	EXPECT_GT(Word.Total, Day.Total * 1.3);
	const FUMGTest::FInk Line = MeasureInk(DrawText(Text(10, 10, TEXT("日本語のテキスト"), 40)));
	EXPECT_GT(Line.Width(), 7 * 40 - 20) << "eight full-width characters side by side";
}

TEST_F(TextFallback, EmojiDrawInTheirOwnColours)
{
	const UTextureRenderTarget2D* Target = DrawText(Text(10, 10, TEXT("\xF0\x9F\x98\x80"), 40));
	const FUMGTest::FInk Ink = MeasureInk(Target);
	ASSERT_FALSE(Ink.IsEmpty()) << "the emoji has ink";
	EXPECT_GT(Ink.Width(), 30);
	int32 Coloured = 0;
	for (int32 Y = Ink.MinY; Y <= Ink.MaxY; ++Y)
	{
		for (int32 X = Ink.MinX; X <= Ink.MaxX; ++X)
		{
			const FColor Pixel = Pixel8(Target, X, Y);
			Coloured += Pixel.A < 128 && Pixel.R > Pixel.B + 60 ? 1 : 0;
		}
	}
	// DejaVu Sans has a black-and-white face too; the colour one is preferred for emoji.
	EXPECT_GT(Coloured, 100) << "white text colour, yet a yellow face";
}

using TextStyle = FUMGTest;

TEST_F(TextStyle, ItalicLeansTheGlyphs)
{
	const FUMGTest::FInk Upright = MeasureInk(DrawText(Styled(TEXT("IIII"), false)));
	const FUMGTest::FInk Italic = MeasureInk(DrawText(Styled(TEXT("IIII"), true)));
	EXPECT_GT(Italic.Width(), Upright.Width() + 4);
}

TEST_F(TextStyle, AFamilyWithoutAnItalicFaceIsSlanted)
{
	const FUMGTest::FInk Upright = MeasureInk(DrawText(Styled(TEXT("IIII"), false, TEXT("WenQuanYi Micro Hei"))));
	const FUMGTest::FInk Italic = MeasureInk(DrawText(Styled(TEXT("IIII"), true, TEXT("WenQuanYi Micro Hei"))));
	ASSERT_FALSE(Upright.IsEmpty());
	EXPECT_GT(Italic.Width(), Upright.Width() + 4);
}

TEST_F(TextStyle, AFamilyByNameDrawsItsOwnGlyphs)
{
	const FUMGTest::FInk Sans = MeasureInk(DrawText(Styled(TEXT("Hamburg"), false)));
	const FUMGTest::FInk Serif = MeasureInk(DrawText(Styled(TEXT("Hamburg"), false, TEXT("dejavu serif"))));
	ASSERT_FALSE(Serif.IsEmpty());
	EXPECT_NE(Sans.Width(), Serif.Width());
	EXPECT_TRUE(FSlateFontCache::IsFamilyInstalled(TEXT("DejaVu Serif")));
	EXPECT_TRUE(FSlateFontCache::IsFamilyInstalled(FString())) << "the engine's font";
	EXPECT_FALSE(FSlateFontCache::IsFamilyInstalled(MissingFamily));
}

TEST_F(TextStyle, AFamilyThatIsNotInstalledDrawsNothingAndWarnsOnce)
{
	FLogCapture Log;
	FWidgetElement Missing = Styled(TEXT("Hello"), false, MissingFamily);
	EXPECT_TRUE(MeasureInk(DrawText(Missing)).IsEmpty());
	EXPECT_TRUE(MeasureInk(DrawText(Missing)).IsEmpty());
	const FString Message = FString::Printf(TEXT("Font family '%s' is not installed; text in it draws nothing"), *MissingFamily);
	EXPECT_EQ(Log.Count(TEXT("LogSlate"), *Message), 1);
}

using TextLines = FUMGTest;

TEST_F(TextLines, AlignmentPlacesTheLineWithinTheWrapWidth)
{
	const FUMGTest::FInk Left = MeasureInk(DrawText(Wrapped(TEXT("Hello"), 300.f, EWidgetTextAlignment::Left)));
	const FUMGTest::FInk Center = MeasureInk(DrawText(Wrapped(TEXT("Hello"), 300.f, EWidgetTextAlignment::Center)));
	const FUMGTest::FInk Right = MeasureInk(DrawText(Wrapped(TEXT("Hello"), 300.f, EWidgetTextAlignment::Right)));
	EXPECT_NEAR(Left.MinX, 10, 3);
	EXPECT_NEAR((Center.MinX + Center.MaxX) / 2.0, 10 + 150, 4);
	EXPECT_NEAR(Right.MaxX, 10 + 300, 4);
	EXPECT_EQ(Left.Width(), Right.Width());
}

TEST_F(TextLines, WithoutAWrapWidthAlignmentIsAboutThePosition)
{
	FWidgetElement Element = Wrapped(TEXT("Hello"), 0.f, EWidgetTextAlignment::Right);
	Element.Position = FVector2D(400, 10);
	EXPECT_NEAR(MeasureInk(DrawText(Element)).MaxX, 400, 4);
}

TEST_F(TextLines, WrappingBreaksBetweenWordsWithinTheWidth)
{
	const FString Long(TEXT("Rear Admiral and compiler pioneer, live from the studio"));
	const FUMGTest::FInk OneLine = MeasureInk(DrawText(Wrapped(Long, 0.f, EWidgetTextAlignment::Left), 900));
	const FUMGTest::FInk Wrapped200 = MeasureInk(DrawText(Wrapped(Long, 200.f, EWidgetTextAlignment::Left), 900));
	EXPECT_GT(OneLine.MaxX, 10 + 200);
	EXPECT_LE(Wrapped200.MaxX, 10 + 200);
	const int32 LineHeight = static_cast<int32>(FSlateFontCache::Get().MeasureText(TEXT("H"), FSlateFontInfo(24)).Y);
	EXPECT_GT(Wrapped200.MaxY - Wrapped200.MinY, 2 * LineHeight) << "at least three lines";
}

TEST_F(TextLines, CJKTextBreaksBetweenCharactersAndLineFeedsBreakToo)
{
	const FUMGTest::FInk Wrapped = MeasureInk(DrawText(::Wrapped(TEXT("日本語日本語日本語"), 80.f, EWidgetTextAlignment::Left), 600, 400));
	EXPECT_LE(Wrapped.MaxX, 10 + 80);
	EXPECT_GT(Wrapped.MaxY - Wrapped.MinY, 60);

	const FUMGTest::FInk TwoLines = MeasureInk(DrawText(::Wrapped(TEXT("One\nTwo"), 0.f, EWidgetTextAlignment::Left)));
	const FUMGTest::FInk OneLine = MeasureInk(DrawText(::Wrapped(TEXT("One"), 0.f, EWidgetTextAlignment::Left)));
	EXPECT_GT(TwoLines.MaxY, OneLine.MaxY + 20);
	EXPECT_LT(TwoLines.Width(), OneLine.Width() + 10);
}
