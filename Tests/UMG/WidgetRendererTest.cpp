#include "ImageUtils.h"
#include "Layout/Geometry.h"
#include "LogCapture.h"
#include "UMGTestFixture.h"

namespace
{
	const FLinearColor HalfGray(0.5f, 0.5f, 0.5f, 1.f);

	// What the renderer leaves in a target cleared to opaque black: untouched, or fully covered in a colour.
	const FColor Untouched(0, 0, 0, 255);
	const FColor Red(255, 0, 0, 0);
	const FColor Blue(0, 0, 255, 0);
	// A target filled or cleared green that the draw must leave as it was.
	const FColor OldGreen(0, 255, 0, 255);

	FWidgetElement BorderedBox()
	{
		FWidgetElement Element = FUMGTest::Box(10, 10, 20, 20, HalfGray);
		Element.BorderThickness = 2.f;
		Element.BorderColor = FLinearColor::Red;
		return Element;
	}

	/** Draws Widget at DrawSize with a new renderer. */
	void Draw(UTextureRenderTarget2D* Target, UUserWidget* Widget, FVector2D DrawSize, bool bGamma = false, bool bClear = true)
	{
		FWidgetRenderer Renderer(bGamma, bClear);
		Renderer.DrawWidget(Target, Widget->TakeWidget(), DrawSize, 0.f);
	}
} // namespace

using WidgetRendererBoxes = FUMGTest;

TEST_F(WidgetRendererBoxes, FillAndBorderAreWrittenLinearWithoutGammaCorrection)
{
	UTextureRenderTarget2D* Target = MakeTarget(64, 64);
	Draw(Target, MakeWidget({BorderedBox()}), FVector2D(64, 64));

	const FColor Fill(128, 128, 128, 0);
	ExpectPixels(Target, {{10, 10, Red}, {11, 20, Red}, {28, 27, Red}, {29, 29, Red}, {12, 12, Fill}, {27, 27, Fill}, {30, 30, Untouched}, {9, 20, Untouched}});
}

TEST_F(WidgetRendererBoxes, GammaCorrectionEncodesColoursAndLeavesOneMinusCoverageInAlpha)
{
	UTextureRenderTarget2D* Target = MakeTarget(64, 64);
	FWidgetElement Translucent = Box(40, 40, 10, 10, FLinearColor(0.5f, 0.f, 0.f, 0.5f));
	Draw(Target, MakeWidget({BorderedBox(), Translucent}), FVector2D(64, 64), true);

	// Half of linear 0.5 over the black clear is linear 0.25 (137), and half the clear's alpha stays.
	ExpectPixels(Target, {{12, 12, FColor(188, 188, 188, 0)}, {10, 10, Red}, {45, 45, FColor(137, 0, 0, 128)}});
}

TEST_F(WidgetRendererBoxes, TranslucentElementBlendsOverEarlierOneInLinearColour)
{
	const TArray<FWidgetElement> Elements = {Box(0, 0, 20, 20, FLinearColor::Red), Box(10, 0, 20, 20, FLinearColor::Blue, 0.5f)};
	UTextureRenderTarget2D* Linear = MakeTarget(32, 32);
	UTextureRenderTarget2D* Encoded = MakeTarget(32, 32);
	Draw(Linear, MakeWidget(Elements), FVector2D(32, 32));
	Draw(Encoded, MakeWidget(Elements), FVector2D(32, 32), true);

	// Over the opaque black clear the colour is weighted by coverage and the alpha keeps what shows through.
	ExpectPixels(Linear, {{15, 5, FColor(128, 0, 128, 0)}, {25, 5, FColor(0, 0, 128, 128)}, {5, 5, Red}});
	EXPECT_EQ(Pixel8(Encoded, 15, 5), FColor(188, 0, 188, 0));
}

TEST_F(WidgetRendererBoxes, ElementOfZeroOpacityDrawsNothing)
{
	UTextureRenderTarget2D* Target = MakeTarget(16, 16);
	Draw(Target, MakeWidget({Box(0, 0, 16, 16, FLinearColor::Red, 0.f)}), FVector2D(16, 16));
	EXPECT_EQ(Pixel8(Target, 8, 8), Untouched);
}

TEST_F(WidgetRendererBoxes, EdgesBetweenPixelsCoverThemPartly)
{
	UTextureRenderTarget2D* Target = MakeTarget(16, 16);
	Draw(Target, MakeWidget({Box(2.5, 2.25, 6, 4, FLinearColor::White)}), FVector2D(16, 16));

	EXPECT_EQ(Coverage8(Target, 4, 4), 255);
	EXPECT_NEAR(Coverage8(Target, 2, 4), 128, 1) << "left edge halfway through the pixel";
	EXPECT_NEAR(Coverage8(Target, 8, 4), 128, 1) << "right edge at 8.5";
	EXPECT_EQ(Coverage8(Target, 4, 2), 191) << "top edge a quarter into the pixel";
	EXPECT_EQ(Coverage8(Target, 2, 2), 96) << "corner: both fractions";
	EXPECT_EQ(Coverage8(Target, 4, 6), 64) << "bottom edge at 6.25";
	EXPECT_EQ(Coverage8(Target, 1, 4), 0);
	EXPECT_EQ(Coverage8(Target, 9, 4), 0);
	// White weighted by coverage: the colour rises with the edge's coverage, no dark fringe.
	EXPECT_EQ(Pixel8(Target, 2, 4).R, 128);
}

TEST_F(WidgetRendererBoxes, RoundedCornersLeaveTheCornerOutAndSmoothTheArc)
{
	FWidgetElement Rounded = Box(0, 0, 40, 20, FLinearColor::White);
	Rounded.CornerRadius = 8.f;
	UTextureRenderTarget2D* Target = MakeTarget(48, 24);
	Draw(Target, MakeWidget({Rounded}), FVector2D(48, 24));

	EXPECT_EQ(Coverage8(Target, 0, 0), 0) << "the corner pixel lies outside the arc";
	EXPECT_EQ(Coverage8(Target, 1, 1), 0);
	EXPECT_EQ(Coverage8(Target, 39, 19), 0);
	EXPECT_EQ(Coverage8(Target, 8, 0), 255) << "the straight edge starts where the arc ends";
	EXPECT_EQ(Coverage8(Target, 0, 10), 255);
	EXPECT_EQ(Coverage8(Target, 4, 4), 255) << "inside the arc";
	// On the arc (about 5.66 pixels from the corner circle's centre at 45 degrees) the pixel is partly covered.
	const int32 OnArc = Coverage8(Target, 2, 2);
	EXPECT_GT(OnArc, 0);
	EXPECT_LT(OnArc, 255);
}

TEST_F(WidgetRendererBoxes, BorderAndFillShareAPixelWithoutASeam)
{
	FWidgetElement Framed = Box(0, 0, 40, 40, FLinearColor::Blue);
	Framed.CornerRadius = 10.f;
	Framed.BorderThickness = 2.5f;
	Framed.BorderColor = FLinearColor::Red;
	UTextureRenderTarget2D* Target = MakeTarget(40, 40);
	Draw(Target, MakeWidget({Framed}), FVector2D(40, 40));

	// The border ends halfway through column 2: half border, half fill, and together they cover it.
	ExpectPixels(Target, {{1, 20, Red}, {20, 20, Blue}, {2, 20, FColor(128, 0, 128, 0)}});
	EXPECT_EQ(Coverage8(Target, 0, 0), 0) << "the border follows the rounded corner";
}

using WidgetRendererTarget = FUMGTest;

TEST_F(WidgetRendererTarget, ClearsOnlyTheDrawSizeRectangleToTheTargetsClearColour)
{
	UTextureRenderTarget2D* Target = MakeTarget(40, 40, ETextureRenderTargetFormat::RTF_RGBA8, FLinearColor(0.f, 1.f, 0.f, 1.f));
	Target->Fill(FLinearColor::Red);
	Draw(Target, MakeWidget({}), FVector2D(20, 10));

	const FColor OldRed(255, 0, 0, 255);
	ExpectPixels(Target, {{0, 0, OldGreen}, {19, 9, OldGreen}, {20, 9, OldRed}, {19, 10, OldRed}, {39, 39, OldRed}});
}

TEST_F(WidgetRendererTarget, ClearAroundAndUnderAPartialWidgetLeavesNoOldPixels)
{
	UTextureRenderTarget2D* Target = MakeTarget(40, 40);
	Target->Fill(FLinearColor::Green);
	// A translucent box over the cleared area must blend with the clear, not the old green.
	Draw(Target, MakeWidget({Box(5, 5, 5, 5, FLinearColor::Red, 0.5f), Box(12, 12, 2, 2, FLinearColor::Blue)}), FVector2D(30, 30));

	ExpectPixels(Target, {{6, 6, FColor(128, 0, 0, 128)}, {11, 11, Untouched}, {12, 5, Untouched}, {29, 29, Untouched}, {30, 30, OldGreen}});
}

TEST_F(WidgetRendererTarget, WithoutClearingBlendsOverWhatTheTargetHeld)
{
	UTextureRenderTarget2D* Target = MakeTarget(16, 16, ETextureRenderTargetFormat::RTF_RGBA8, FLinearColor(0.f, 1.f, 0.f, 1.f));
	Draw(Target, MakeWidget({Box(0, 0, 8, 8, FLinearColor::Red, 0.5f)}), FVector2D(16, 16), false, false);

	ExpectPixels(Target, {{4, 4, FColor(128, 128, 0, 128)}, {12, 12, OldGreen}});
}

TEST_F(WidgetRendererTarget, WithGammaTheHeldColoursAreDecodedBeforeBlending)
{
	// 188 is linear 0.5 encoded; half black over it is linear 0.25, which encodes to 137.
	const float Encoded = 188.f / 255.f;
	UTextureRenderTarget2D* Target = MakeTarget(16, 16, ETextureRenderTargetFormat::RTF_RGBA8, FLinearColor(Encoded, Encoded, Encoded, 1.f));
	Draw(Target, MakeWidget({Box(0, 0, 8, 8, FLinearColor::Black, 0.5f)}), FVector2D(16, 16), true, false);

	ExpectPixels(Target, {{4, 4, FColor(137, 137, 137, 128)}, {12, 12, FColor(188, 188, 188, 255)}});
}

TEST_F(WidgetRendererTarget, ClipsAtTheTargetEdgeAndAtTheDrawSize)
{
	UTextureRenderTarget2D* Target = MakeTarget(32, 32);
	Draw(Target, MakeWidget({Box(24, 24, 20, 20, FLinearColor::Red), Box(100, 100, 50, 50, FLinearColor::Blue)}), FVector2D(64, 64));
	ExpectPixels(Target, {{31, 31, Red}, {23, 23, Untouched}});
	EXPECT_EQ(Target->GetPixels().Num(), 32 * 32);

	UTextureRenderTarget2D* Smaller = MakeTarget(32, 32);
	Smaller->Fill(FLinearColor::Green);
	Draw(Smaller, MakeWidget({Box(24, 24, 20, 20, FLinearColor::Red)}), FVector2D(28, 28));
	ExpectPixels(Smaller, {{27, 27, Red}, {28, 28, OldGreen}, {28, 24, OldGreen}});
}

TEST_F(WidgetRendererTarget, LaterDrawWinsWhereDrawsOverlap)
{
	UTextureRenderTarget2D* Target = MakeTarget(40, 40);
	Target->Fill(FLinearColor::Green);
	FWidgetRenderer Renderer(true, true);
	Renderer.DrawWidget(Target, MakeWidget({Box(0, 0, 30, 30, FLinearColor::Red)})->TakeWidget(), FVector2D(30, 30), 0.f);
	Renderer.DrawWidget(Target, MakeWidget({Box(0, 0, 20, 20, FLinearColor::Blue)})->TakeWidget(), FVector2D(20, 20), 0.f);

	ExpectPixels(Target, {{10, 10, Blue}, {25, 25, Red}, {25, 5, Red}, {35, 35, OldGreen}});
}

TEST_F(WidgetRendererTarget, FloatTargetKeepsExactLinearValues)
{
	UTextureRenderTarget2D* Target = MakeTarget(8, 8, ETextureRenderTargetFormat::RTF_RGBA16f);
	Draw(Target, MakeWidget({Box(0, 0, 8, 8, FLinearColor(0.3f, 0.2f, 0.1f, 1.f))}), FVector2D(8, 8));
	EXPECT_EQ(Target->GetRow(3)[3], FLinearColor(0.3f, 0.2f, 0.1f, 0.f));
}

TEST_F(WidgetRendererTarget, NullTargetOrEmptyDrawSizeChangesNothing)
{
	UTextureRenderTarget2D* Target = MakeTarget(8, 8, ETextureRenderTargetFormat::RTF_RGBA8, FLinearColor(0.f, 1.f, 0.f, 1.f));
	UUserWidget* Widget = MakeWidget({Box(0, 0, 8, 8, FLinearColor::Red)});
	FWidgetRenderer Renderer(false, true);
	Renderer.DrawWidget(nullptr, Widget->TakeWidget(), FVector2D(8, 8), 0.f);
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(0, 8), 0.f);
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(8, -1), 0.f);
	EXPECT_EQ(Pixel8(Target, 4, 4), OldGreen);
}

namespace
{
	/** Records what the renderer hands to Tick. */
	class STickRecorder final : public SWidget
	{
	public:
		void Tick(const FGeometry& AllottedGeometry, const double InCurrentTime, const float InDeltaTime) override
		{
			LastCurrentTime = InCurrentTime;
			LastDeltaTime = InDeltaTime;
			LastSize = AllottedGeometry.GetLocalSize();
		}
		int32 OnPaint(const FGeometry& AllottedGeometry, FSlateWindowElementList& OutDrawElements, int32 LayerId) const override { return LayerId; }

		double LastCurrentTime = -1.0;
		float LastDeltaTime = -1.f;
		FVector2D LastSize;
	};
} // namespace

TEST_F(WidgetRendererTarget, EveryDrawTicksTheWidgetWithAccumulatedTime)
{
	UTextureRenderTarget2D* Target = MakeTarget(8, 8);
	const TSharedRef<STickRecorder> Recorder = MakeShared<STickRecorder>();
	FWidgetRenderer Renderer;
	Renderer.DrawWidget(Target, Recorder, FVector2D(6, 4), 0.25f);
	Renderer.DrawWidget(Target, Recorder, FVector2D(6, 4), 0.5f);
	EXPECT_DOUBLE_EQ(Recorder->LastCurrentTime, 0.75);
	EXPECT_FLOAT_EQ(Recorder->LastDeltaTime, 0.5f);
	EXPECT_EQ(Recorder->LastSize, FVector2D(6, 4));
}

namespace
{
	FWidgetElement ImageElement(const FString& Path, double X, double Y, double Width, double Height)
	{
		FWidgetElement Image;
		Image.Kind = EWidgetElementKind::Image;
		Image.ImagePath = Path;
		Image.Position = FVector2D(X, Y);
		Image.Size = FVector2D(Width, Height);
		return Image;
	}
} // namespace

class WidgetRendererImages : public FUMGTest
{
protected:
	/** A picture of two texels, saved in the project as FileName, drawn stretched over a 4x1 target. */
	UTextureRenderTarget2D* DrawTwoTexelsStretched(const char* FileName, const FColor& Left, const FColor& Right)
	{
		FImage Picture(2, 1);
		Picture.Pixel(0, 0) = Left;
		Picture.Pixel(1, 0) = Right;
		const FString Path(((ProjectDir / FileName).string()));
		EXPECT_TRUE(FImageUtils::SaveImageByExtension(*Path, Picture)) << FileName;

		UTextureRenderTarget2D* Target = MakeTarget(4, 1);
		Draw(Target, MakeWidget({ImageElement(Path, 0, 0, 4, 1)}), FVector2D(4, 1), true);
		return Target;
	}
};

TEST_F(WidgetRendererImages, EnlargedImageIsFilteredBilinearlyInLinearLight)
{
	UTextureRenderTarget2D* Target = DrawTwoTexelsStretched("ramp.png", FColor(0, 0, 0, 255), FColor(255, 255, 255, 255));

	// Pixel centres fall at texel positions -0.25, 0.25, 0.75 and 1.25: clamped, then mixed in linear light.
	ExpectPixels(Target, {{0, 0, FColor(0, 0, 0, 0)}, {1, 0, FColor(137, 137, 137, 0)}, {2, 0, FColor(225, 225, 225, 0)}, {3, 0, FColor(255, 255, 255, 0)}});
}

TEST_F(WidgetRendererImages, TransparentTexelsLendNoColourToTheirNeighbours)
{
	UTextureRenderTarget2D* Target = DrawTwoTexelsStretched("edge.png", FColor(255, 0, 0, 255), FColor(255, 255, 255, 0));

	// Three quarters red: the invisible white adds nothing (linear 0.75 red is 225).
	ExpectPixels(Target, {{1, 0, FColor(225, 0, 0, 64)}, {3, 0, Untouched}});
}

TEST_F(WidgetRendererImages, ShrunkImageAveragesEveryTexelItCovers)
{
	// Stripes one texel wide, drawn at an eighth of their size: each pixel is their average, not a stripe.
	FImage Picture(64, 64);
	for (int32 Y = 0; Y < 64; ++Y)
	{
		for (int32 X = 0; X < 64; ++X)
		{
			Picture.Pixel(X, Y) = X % 2 == 0 ? FColor(255, 255, 255, 255) : FColor(0, 0, 0, 255);
		}
	}
	const FString Path(((ProjectDir / "stripes.png").string()));
	ASSERT_TRUE(FImageUtils::SaveImageByExtension(*Path, Picture));

	UTextureRenderTarget2D* Target = MakeTarget(8, 8);
	Draw(Target, MakeWidget({ImageElement(Path, 0, 0, 8, 8)}), FVector2D(8, 8), true);

	for (int32 X = 0; X < 8; ++X)
	{
		EXPECT_NEAR(Pixel8(Target, X, 4).R, 188, 1) << X << ": linear half of white";
	}
}

TEST_F(WidgetRendererImages, TintMultipliesAndEdgesBetweenPixelsCoverPartly)
{
	const FString Path(((ProjectDir / "red.png").string()));
	ASSERT_TRUE(FImageUtils::SaveImageByExtension(*Path, FImage(4, 4, FColor(255, 0, 0, 255))));
	FWidgetElement Tinted = ImageElement(Path, 0, 0, 4, 4);
	Tinted.Color = FLinearColor(1.f, 1.f, 1.f, 0.5f);
	FWidgetElement Offset = ImageElement(Path, 8.5, 0, 4, 4);

	UTextureRenderTarget2D* Target = MakeTarget(16, 4);
	Draw(Target, MakeWidget({Tinted, Offset}), FVector2D(16, 4), true);

	EXPECT_EQ(Pixel8(Target, 1, 1), FColor(188, 0, 0, 128));
	EXPECT_NEAR(Coverage8(Target, 8, 1), 128, 1);
	EXPECT_EQ(Coverage8(Target, 10, 1), 255);
	EXPECT_NEAR(Coverage8(Target, 12, 1), 128, 1);
}

TEST_F(WidgetRendererImages, UnreadableImageDrawsNothingAndWarnsOnce)
{
	FLogCapture Log;
	FWidgetElement Image;
	Image.Kind = EWidgetElementKind::Image;
	Image.ImagePath = FString((ProjectDir / "missing.png").string());
	Image.Size = FVector2D(8, 8);
	UTextureRenderTarget2D* Target = MakeTarget(8, 8);
	UUserWidget* Widget = MakeWidget({Image});
	FWidgetRenderer Renderer;
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(8, 8), 0.f);
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(8, 8), 0.f);

	EXPECT_EQ(Pixel8(Target, 4, 4), Untouched);
	const FString Message = FString::Printf(TEXT("Image '%s' could not be read; the widget draws nothing in its place"), *Image.ImagePath);
	EXPECT_EQ(Log.Count(TEXT("LogUMG"), *Message), 1);
}

using WidgetRendererText = FUMGTest;

TEST_F(WidgetRendererText, CoverageStaysInsideTheLineBoxAndStartsAtItsTop)
{
	const FSlateFontInfo Font(20);
	const FVector2D Extent = FSlateFontCache::Get().MeasureText(TEXT("Hig"), Font);
	ASSERT_GT(Extent.X, 0.0);
	UTextureRenderTarget2D* Target = MakeTarget(200, 80, ETextureRenderTargetFormat::RTF_RGBA16f);
	Draw(Target, MakeWidget({Text(10, 8, TEXT("Hig"), 20)}), FVector2D(200, 80));

	const FInk Coverage = MeasureInk(Target);
	ASSERT_GE(Coverage.MaxX, 0) << "no text drawn";
	EXPECT_GE(Coverage.MinX, 10 - 2);
	EXPECT_LE(Coverage.MaxX, 10 + static_cast<int32>(Extent.X) + 2);
	EXPECT_GE(Coverage.MinY, 8);
	// Cap height is most of an em: the tallest glyph starts within the upper part of the line.
	EXPECT_LT(Coverage.MinY, 8 + 20 / 2);
	EXPECT_LT(Coverage.MaxY, 8 + static_cast<int32>(Extent.Y));
	// 'g' hangs below the baseline.
	EXPECT_GT(Coverage.MaxY, 8 + 20 * 3 / 4);
	EXPECT_TRUE(Coverage.bWhiteWeightedByCoverage);
}

TEST_F(WidgetRendererText, BoldFaceCoversMoreThanRegular)
{
	UTextureRenderTarget2D* Regular = MakeTarget(200, 40);
	UTextureRenderTarget2D* Bold = MakeTarget(200, 40);
	Draw(Regular, MakeWidget({Text(0, 0, TEXT("Lower third"), 24)}), FVector2D(200, 40));
	Draw(Bold, MakeWidget({Text(0, 0, TEXT("Lower third"), 24, true)}), FVector2D(200, 40));
	EXPECT_GT(MeasureInk(Bold).Total, MeasureInk(Regular).Total * 1.2);
}

TEST_F(WidgetRendererText, TextIsClippedToTheDrawSize)
{
	UTextureRenderTarget2D* Target = MakeTarget(200, 40);
	Draw(Target, MakeWidget({Text(0, 0, TEXT("WWWWWWWW"), 24)}), FVector2D(30, 40));
	const FInk Coverage = MeasureInk(Target);
	EXPECT_GE(Coverage.MaxX, 20);
	EXPECT_EQ(Coverage.MaxX, 29);
}
