// DrawWidgets of 1 and 8 lower-third widgets into the plug-in's 1920x1080 render target,
// against a plain clear of the same target measured in the same run. Each drawing feature is
// measured against the same lower third without it, which is the work the earlier drawing did
// (whole-pixel square boxes, an image at its own size, text without kerning pairs or fallback
// fonts): anti-aliased rounded edges, a filtered shrunk image, shaped text with fallbacks, and
// all of them at once. Prints ratios and the share of a 60 fps frame; it is a measurement, not
// a pass/fail test.

#include "Blueprint/UserWidget.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "Framework/Application/SlateApplication.h"
#include "HeadlessEngineLoop.h"
#include "Kismet/KismetRenderingLibrary.h"
#include "QuarnFunctionLibrary.h"
#include "QuarnUMGContextSubsystem.h"

#include "BenchmarkEngine.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#ifndef QUARN_SOURCE_DIR
#error "QUARN_SOURCE_DIR must name the repository root"
#endif

namespace
{
	constexpr double FrameNanoseconds60 = 1e9 / 60.0;

	/** Which drawing features a lower third exercises; none is the earlier drawing's work. */
	enum EFeature : int64
	{
		Plain = 0,
		AntiAliasing = 1,
		ScaledImage = 2,
		ShapedText = 4,
		AllFeatures = AntiAliasing | ScaledImage | ShapedText,
	};

	/** A lower third as a designer makes it: a full-screen canvas with a bar, a border, a logo and two lines of text. */
	UUserWidget* MakeLowerThird(int32 Index, int64 Features = AllFeatures)
	{
		// Edges between pixels and rounded corners take the anti-aliased path; whole pixels and square corners do not.
		const double Offset = (Features & AntiAliasing) ? 0.4 : 0.0;
		FWidgetDescription Description;
		FWidgetElement Bar;
		Bar.Position = FVector2D(96.0 + Offset, 820.0 + Offset);
		Bar.Size = FVector2D(1040.0, 150.0);
		Bar.Color = FLinearColor(FColor(11, 31, 58, 230));
		Bar.BorderThickness = 3.f;
		Bar.BorderColor = FLinearColor(FColor(245, 166, 35));
		Bar.CornerRadius = (Features & AntiAliasing) ? 18.f : 0.f;
		Description.Elements.Add(Bar);

		// The logo file is 96 pixels: drawn at 80 it is filtered, at 96 each pixel is one texel.
		FWidgetElement Logo;
		Logo.Kind = EWidgetElementKind::Image;
		Logo.Position = FVector2D(132.0, 847.0);
		Logo.Size = (Features & ScaledImage) ? FVector2D(80.0, 80.0) : FVector2D(96.0, 96.0);
		Logo.ImagePath = FString(QUARN_SOURCE_DIR "/Examples/studio-logo.png");
		Description.Elements.Add(Logo);

		// Kerning pairs, Japanese from the fallback font and a colour emoji, against plain letters.
		FWidgetElement Name;
		Name.Kind = EWidgetElementKind::Text;
		Name.Position = FVector2D(252.0, 838.0);
		Name.Text = (Features & ShapedText) ? FString::Printf(TEXT("AVATAR Wave %d \u6771\u4EAC \U0001F3AC"), Index + 1)
											: FString::Printf(TEXT("Speaker number %d"), Index + 1);
		Name.FontSize = 56;
		Name.bBold = true;
		Description.Elements.Add(Name);

		FWidgetElement Role;
		Role.Kind = EWidgetElementKind::Text;
		Role.Position = FVector2D(252.0, 912.0);
		Role.Text = TEXT("Live from Studio 4 - Analytical Engines");
		Role.FontSize = 30;
		Role.Color = FLinearColor(FColor(214, 228, 240));
		Description.Elements.Add(Role);

		UUserWidget* Widget = NewObject<UUserWidget>();
		Widget->SetDescription(Description);
		return Widget;
	}

	/** The UMG context's render target; without one the benchmark is marked skipped. */
	UTextureRenderTarget2D* SceneTargetOrSkip(benchmark::State& State)
	{
		UQuarnUMGContextSubsystem* Context = UQuarnUMGContextSubsystem::Get();
		UTextureRenderTarget2D* Target = Context ? Context->GetSceneRenderTarget() : nullptr;
		if (!Target)
		{
			State.SkipWithError("no render target");
		}
		return Target;
	}

	void BM_ClearRenderTarget(benchmark::State& State)
	{
		UTextureRenderTarget2D* Target = SceneTargetOrSkip(State);
		if (!Target)
		{
			return;
		}
		for (auto _ : State)
		{
			UKismetRenderingLibrary::ClearRenderTarget2D(UQuarnFunctionLibrary::GetCurrentWorld(), Target, FLinearColor(0.f, 0.f, 0.f, 1.f));
			benchmark::DoNotOptimize(Target);
			benchmark::ClobberMemory();
		}
	}

	/** A pass that writes every pixel once: what a clear costs where it cannot be a per-row flag. */
	void BM_WriteEveryPixel(benchmark::State& State)
	{
		UTextureRenderTarget2D* Target = SceneTargetOrSkip(State);
		if (!Target)
		{
			return;
		}
		const FLinearColor Black = Target->ToStoredColor(FLinearColor(0.f, 0.f, 0.f, 1.f));
		for (auto _ : State)
		{
			for (int32 Y = 0; Y < Target->SizeY; ++Y)
			{
				FLinearColor* Row = Target->GetMutableRow(Y);
				std::fill(Row, Row + Target->SizeX, Black);
			}
			benchmark::DoNotOptimize(Target->GetRow(0));
			benchmark::ClobberMemory();
		}
	}

	/** range(0) lower thirds, drawing with the features in range(1). */
	void BM_DrawWidgets(benchmark::State& State)
	{
		UQuarnUMGContextSubsystem* Context = UQuarnUMGContextSubsystem::Get();
		if (!Context || !Context->GetSceneRenderTarget())
		{
			State.SkipWithError("no UMG context with a render target");
			return;
		}
		Context->RemoveAllWidgets();
		for (int32 Index = 0; Index < State.range(0); ++Index)
		{
			Context->AddWidget(MakeLowerThird(Index, State.range(1)), FVector2D(1920.0, 1080.0), FVector2D::ZeroVector, false);
		}
		// The first draw builds the Slate widgets and caches glyphs and pictures; a show draws every frame after that.
		Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
		for (auto _ : State)
		{
			Context->DrawWidgets(FVector2D(1920.0, 1080.0), 1.f / 60.f);
			benchmark::DoNotOptimize(Context->GetSceneRenderTarget());
			benchmark::ClobberMemory();
		}
		Context->RemoveAllWidgets();
	}
} // namespace

BENCHMARK(BM_ClearRenderTarget)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteEveryPixel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawWidgets)
	->Args({1, AllFeatures})
	->Args({8, Plain})
	->Args({8, AntiAliasing})
	->Args({8, ScaledImage})
	->Args({8, ShapedText})
	->Args({8, AllFeatures})
	->Unit(benchmark::kMicrosecond);

int main(int ArgCount, char** Args)
{
	benchmark::Initialize(&ArgCount, Args);

	FHeadlessEngineOptions Options = BenchmarkEngineOptions("quarn-benchmark-project", EBenchmarkModules::Status);
	Options.PluginDir = FString(QUARN_SOURCE_DIR);
	FSlateApplication::Create();
	FHeadlessEngineLoop::Boot(Options);
	UWorld* World = NewObject<UWorld>(nullptr, nullptr, TEXT("BenchmarkWorld"));
	UQuarnFunctionLibrary::SetCurrentWorld(World);

	FRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
	FHeadlessEngineLoop::Shutdown();
	FSlateApplication::Shutdown();

	const double Clear = Reporter.Nanoseconds("BM_ClearRenderTarget");
	const double WriteAll = Reporter.Nanoseconds("BM_WriteEveryPixel");
	const auto Draw = [&Reporter](int32 Count, int64 Features) {
		return Reporter.Nanoseconds("BM_DrawWidgets/" + std::to_string(Count) + "/" + std::to_string(Features));
	};
	const double One = Draw(1, AllFeatures);
	const double Plain8 = Draw(8, Plain);
	const double Eight = Draw(8, AllFeatures);
	if (Clear > 0.0 && WriteAll > 0.0 && One > 0.0 && Plain8 > 0.0 && Eight > 0.0)
	{
		std::printf("\nplain clear of the 1920x1080 target: %.1f us (a flag per row)\n", Clear / 1e3);
		std::printf("writing every pixel of it once: %.1f us\n", WriteAll / 1e3);
		std::printf("DrawWidgets, 1 lower third: %.1f us = %.1fx the clear = %.2fx writing every pixel\n", One / 1e3, One / Clear, One / WriteAll);
		std::printf("8 lower thirds without the features (the earlier drawing's work): %.1f us\n", Plain8 / 1e3);
		const std::pair<const char*, int64> Features[] = {
			{"anti-aliased rounded edges", AntiAliasing}, {"bilinear shrunk image", ScaledImage}, {"shaped text with fallbacks", ShapedText}};
		for (const auto& [Name, Feature] : Features)
		{
			const double With = Draw(8, Feature);
			if (With > 0.0)
			{
				std::printf("  + %s: %.1f us = %.2fx\n", Name, With / 1e3, With / Plain8);
			}
		}
		std::printf("DrawWidgets, 8 lower thirds, all features: %.1f us = %.2fx without them = %.1fx the clear = %.2fx writing every pixel = %.1f %% of a 60 fps frame (target < 50 %%)\n",
			Eight / 1e3, Eight / Plain8, Eight / Clear, Eight / WriteAll, 100.0 * Eight / FrameNanoseconds60);
	}
	return 0;
}
