#pragma once

// Boots the headless editor (whose engine subsystems include the viewport) in a fresh
// temporary project per test, with helpers to describe widgets and read pixels back.

#include "Blueprint/UserWidget.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Fonts/FontCache.h"
#include "Framework/Application/SlateApplication.h"
#include "HeadlessEngineLoop.h"
#include "Slate/WidgetRenderer.h"
#include "TestFolder.h"
#include "Widgets/SWidget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>
#include <unistd.h>

class FUMGTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ProjectDir = MakeTestFolder("quarn-umg-test");
		FHeadlessEngineOptions Options;
		Options.ProjectDir = FString(ProjectDir.string());
		FHeadlessEngineLoop::Boot(Options);
	}

	void TearDown() override
	{
		FHeadlessEngineLoop::Shutdown();
		FSlateApplication::Shutdown();
		std::filesystem::remove_all(ProjectDir);
	}

public:
	/** A target cleared to opaque black by default, as the plug-in's is: what the widget renderer leaves there is coverage as one minus alpha. */
	static UTextureRenderTarget2D* MakeTarget(int32 Width, int32 Height,
		ETextureRenderTargetFormat Format = ETextureRenderTargetFormat::RTF_RGBA8, FLinearColor ClearColor = FLinearColor(0.f, 0.f, 0.f, 1.f))
	{
		UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
		Target->RenderTargetFormat = Format;
		Target->ClearColor = ClearColor;
		Target->SizeX = Width;
		Target->SizeY = Height;
		Target->PostLoad();
		return Target;
	}

	static UUserWidget* MakeWidget(const TArray<FWidgetElement>& Elements, const TArray<FWidgetAnimation>& Animations = {})
	{
		UUserWidget* Widget = NewObject<UUserWidget>();
		FWidgetDescription Description;
		Description.Elements = Elements;
		Description.Animations = Animations;
		Widget->SetDescription(Description);
		return Widget;
	}

	static FWidgetElement Box(double X, double Y, double Width, double Height, const FLinearColor& Color, float Opacity = 1.f)
	{
		FWidgetElement Element;
		Element.Kind = EWidgetElementKind::Box;
		Element.Position = FVector2D(X, Y);
		Element.Size = FVector2D(Width, Height);
		Element.Color = Color;
		Element.Opacity = Opacity;
		return Element;
	}

	static FWidgetElement Text(double X, double Y, const FString& Content, int32 FontSize, bool bBold = false)
	{
		FWidgetElement Element;
		Element.Kind = EWidgetElementKind::Text;
		Element.Position = FVector2D(X, Y);
		Element.Text = Content;
		Element.FontSize = FontSize;
		Element.bBold = bBold;
		return Element;
	}

	/** The pixel as the 8-bit value it stands for. */
	static FColor Pixel8(const UTextureRenderTarget2D* Target, int32 X, int32 Y)
	{
		const FLinearColor Value = Target->GetRow(Y)[X];
		const auto Channel = [](float V) { return static_cast<uint8>(FMath::RoundToInt(FMath::Clamp(V, 0.f, 1.f) * 255.0)); };
		return FColor(Channel(Value.R), Channel(Value.G), Channel(Value.B), Channel(Value.A));
	}

	/** The pixels that anything covers, and how much in all. */
	struct FInk
	{
		int32 MinX = INT32_MAX;
		int32 MinY = INT32_MAX;
		int32 MaxX = -1;
		int32 MaxY = -1;
		double Total = 0.0;
		/** White ink over the black clear leaves its coverage in the colour as well. */
		bool bWhiteWeightedByCoverage = true;

		bool IsEmpty() const { return MaxX < 0; }
		int32 Width() const { return IsEmpty() ? 0 : MaxX - MinX + 1; }
	};

	static FInk MeasureInk(const UTextureRenderTarget2D* Target, int32 MinY = 0, int32 MaxY = INT32_MAX)
	{
		FInk Ink;
		for (int32 Y = MinY; Y < FMath::Min(MaxY, Target->SizeY); ++Y)
		{
			for (int32 X = 0; X < Target->SizeX; ++X)
			{
				const FLinearColor Pixel = Target->GetRow(Y)[X];
				const float Coverage = 1.f - Pixel.A;
				if (Coverage > 0.f)
				{
					Ink.MinX = FMath::Min(Ink.MinX, X);
					Ink.MinY = FMath::Min(Ink.MinY, Y);
					Ink.MaxX = FMath::Max(Ink.MaxX, X);
					Ink.MaxY = FMath::Max(Ink.MaxY, Y);
					Ink.Total += Coverage;
					Ink.bWhiteWeightedByCoverage = Ink.bWhiteWeightedByCoverage && FMath::Abs(Pixel.R - Coverage) < 0.002f && Pixel.G == Pixel.R && Pixel.B == Pixel.R;
				}
			}
		}
		return Ink;
	}

	/** How much widgets cover the pixel, 0 to 255: one minus the alpha the widget renderer leaves. */
	static int32 Coverage8(const UTextureRenderTarget2D* Target, int32 X, int32 Y) { return 255 - Pixel8(Target, X, Y).A; }

	struct FExpectedPixel
	{
		int32 X;
		int32 Y;
		FColor Color;
	};

	/** Checks each pixel of the table as an 8-bit value; a failure names the pixel. */
	static void ExpectPixels(const UTextureRenderTarget2D* Target, std::initializer_list<FExpectedPixel> Expected)
	{
		for (const FExpectedPixel& Pixel : Expected)
		{
			EXPECT_EQ(Pixel8(Target, Pixel.X, Pixel.Y), Pixel.Color) << "at (" << Pixel.X << "," << Pixel.Y << ")";
		}
	}

protected:
	std::filesystem::path ProjectDir;
};

inline void PrintTo(const FColor& Color, std::ostream* Out)
{
	*Out << "(" << int(Color.R) << "," << int(Color.G) << "," << int(Color.B) << "," << int(Color.A) << ")";
}
