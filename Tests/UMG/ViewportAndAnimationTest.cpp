#include "Blueprint/GameViewportSubsystem.h"
#include "EngineTestFixture.h"
#include "UMGTestFixture.h"

#include <array>

namespace
{
	constexpr double FrameSeconds = 0.1;

	void TickFrames(int32 Frames)
	{
		for (int32 Frame = 0; Frame < Frames; ++Frame)
		{
			FHeadlessEngineLoop::Tick(FrameSeconds);
		}
	}

	FWidgetAnimation Animate(EWidgetAnimatedProperty Property, float From, float To, float Duration, bool bLoop = false, int32 ElementIndex = 0)
	{
		FWidgetAnimation Animation;
		Animation.ElementIndex = ElementIndex;
		Animation.Property = Property;
		Animation.From = From;
		Animation.To = To;
		Animation.Duration = Duration;
		Animation.bLoop = bLoop;
		return Animation;
	}

	/** Empty widgets added to the viewport one after the other, each at its Z-order. */
	template <size_t Count>
	std::array<UUserWidget*, Count> AddedToViewport(const int32 (&ZOrders)[Count])
	{
		std::array<UUserWidget*, Count> Widgets;
		for (size_t Index = 0; Index < Count; ++Index)
		{
			Widgets[Index] = FUMGTest::MakeWidget({});
			Widgets[Index]->AddToViewport(ZOrders[Index]);
		}
		return Widgets;
	}
} // namespace

using ViewportWidgets = FUMGTest;

TEST_F(ViewportWidgets, ListsWidgetsByZOrderThenOrderOfAdding)
{
	const auto [A, B, C, D] = AddedToViewport({0, 5, 0, -1});

	ASSERT_NE(UGameViewportSubsystem::Get(), nullptr);
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{D, A, C, B}));
	EXPECT_TRUE(A->IsInViewport());
	EXPECT_TRUE(D->IsInViewport());
}

TEST_F(ViewportWidgets, AddingAgainMovesTheWidgetToTheTopOfItsNewZOrder)
{
	const auto [A, B, C] = AddedToViewport({0, 0, 3});
	A->AddToViewport(0);
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{B, A, C}));
	B->AddToViewport(3);
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{A, C, B}));
}

TEST_F(ViewportWidgets, RemoveFromParentTakesTheWidgetOffAndReAddingPutsItOnTop)
{
	const auto [A, B] = AddedToViewport({0, 0});
	A->RemoveFromParent();
	EXPECT_FALSE(A->IsInViewport());
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{B}));
	A->RemoveFromParent();
	A->AddToViewport();
	EXPECT_TRUE(A->IsInViewport());
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{B, A}));
}

TEST_F(ViewportWidgets, DestroyedWidgetLeavesTheViewport)
{
	const auto [A, B] = AddedToViewport({0, 0});
	A->MarkAsGarbage();
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{B}));
	CollectGarbage();
	TickFrames(1);
	EXPECT_EQ(UGameViewportSubsystem::Get()->GetWidgets(), (TArray<UWidget*>{B}));
}

using ViewportWithoutEngine = FObjectSystemTest;

TEST_F(ViewportWithoutEngine, AddToViewportDoesNothingAndNoWidgetIsInViewport)
{
	ASSERT_EQ(UGameViewportSubsystem::Get(), nullptr);
	UUserWidget* Widget = NewObject<UUserWidget>();
	Widget->AddToViewport(0);
	EXPECT_FALSE(Widget->IsInViewport());
	Widget->RemoveFromParent();
	EXPECT_TRUE(Widget->TakeWidget().IsValid());
}

using WidgetAnimation = FUMGTest;

TEST_F(WidgetAnimation, AdvancesOnlyWhileTheWidgetIsOnTheViewport)
{
	UUserWidget* Widget = MakeWidget({Box(0, 0, 4, 4, FLinearColor::White)}, {Animate(EWidgetAnimatedProperty::Opacity, 0.f, 1.f, 1.f)});
	UTextureRenderTarget2D* Target = MakeTarget(4, 4);
	FWidgetRenderer Renderer;

	TickFrames(3);
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(4, 4), FrameSeconds);
	EXPECT_EQ(Widget->GetAnimationTime(), 0.0);
	EXPECT_EQ(Coverage8(Target, 1, 1), 0);

	Widget->AddToViewport();
	TickFrames(5);
	EXPECT_NEAR(Widget->GetAnimationTime(), 0.5, 1e-6);
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(4, 4), FrameSeconds);
	EXPECT_NEAR(Coverage8(Target, 1, 1), 128, 1);

	Widget->RemoveFromParent();
	TickFrames(5);
	EXPECT_NEAR(Widget->GetAnimationTime(), 0.5, 1e-6);
}

TEST_F(WidgetAnimation, ViewportTicksInTheEditorButNotWhilePaused)
{
	UUserWidget* Widget = MakeWidget({});
	Widget->AddToViewport();
	EXPECT_FALSE(UGameViewportSubsystem::Get()->IsTickableWhenPaused());
	FHeadlessEngineLoop::Tick(0.25);
	EXPECT_DOUBLE_EQ(Widget->GetAnimationTime(), 0.25);
}

TEST_F(WidgetAnimation, EvaluationInterpolatesHoldsAndLoops)
{
	FWidgetDescription Description;
	Description.Elements = {Box(0, 0, 1, 1, FLinearColor::White), Box(0, 0, 1, 1, FLinearColor::White)};
	Description.Animations = {Animate(EWidgetAnimatedProperty::PositionX, 0.f, 100.f, 2.f), Animate(EWidgetAnimatedProperty::PositionY, 10.f, 20.f, 1.f, true),
		Animate(EWidgetAnimatedProperty::Opacity, 1.f, 0.f, 0.f, false, 1), Animate(EWidgetAnimatedProperty::Opacity, 0.f, 1.f, 1.f, false, 7)};

	const TArray<FWidgetElement> Early = Description.Evaluate(0.5);
	EXPECT_DOUBLE_EQ(Early[0].Position.X, 25.0);
	EXPECT_DOUBLE_EQ(Early[0].Position.Y, 15.0);
	EXPECT_EQ(Early[1].Opacity, 0.f);

	const TArray<FWidgetElement> Late = Description.Evaluate(3.25);
	EXPECT_DOUBLE_EQ(Late[0].Position.X, 100.0);
	EXPECT_DOUBLE_EQ(Late[0].Position.Y, 12.5);
	EXPECT_EQ(Description.Elements[0].Position.X, 0.0);
}

TEST_F(WidgetAnimation, AnimatedPositionMovesTheDrawnElement)
{
	UUserWidget* Widget = MakeWidget({Box(0, 0, 2, 2, FLinearColor::Red)}, {Animate(EWidgetAnimatedProperty::PositionX, 0.f, 10.f, 1.f)});
	Widget->AddToViewport();
	TickFrames(5);
	UTextureRenderTarget2D* Target = MakeTarget(16, 4);
	FWidgetRenderer Renderer;
	Renderer.DrawWidget(Target, Widget->TakeWidget(), FVector2D(16, 4), 0.f);
	EXPECT_EQ(Coverage8(Target, 0, 0), 0);
	EXPECT_EQ(Pixel8(Target, 5, 0), FColor(255, 0, 0, 0));
	EXPECT_EQ(Pixel8(Target, 6, 1), FColor(255, 0, 0, 0));
	EXPECT_EQ(Coverage8(Target, 7, 0), 0);
}

using UserWidgetSlate = FUMGTest;

TEST_F(UserWidgetSlate, DestroyedUserWidgetPaintsNothingThroughAHeldSlateWidget)
{
	UUserWidget* Widget = MakeWidget({Box(0, 0, 8, 8, FLinearColor::Red)});
	const TSharedRef<SWidget> Held = Widget->TakeWidget();
	UTextureRenderTarget2D* Target = MakeTarget(8, 8);
	FWidgetRenderer Renderer;
	Renderer.DrawWidget(Target, Held, FVector2D(8, 8), 0.f);
	ASSERT_EQ(Pixel8(Target, 4, 4), FColor(255, 0, 0, 0));

	Widget->MarkAsGarbage();
	Renderer.DrawWidget(Target, Held, FVector2D(8, 8), 0.f);
	EXPECT_EQ(Pixel8(Target, 4, 4), FColor(0, 0, 0, 255));

	CollectGarbage();
	Target->Fill(FLinearColor::Green);
	Renderer.DrawWidget(Target, Held, FVector2D(8, 8), 0.f);
	EXPECT_EQ(Pixel8(Target, 4, 4), FColor(0, 0, 0, 255));
}

TEST_F(UserWidgetSlate, TakeWidgetBuildsOnceWithoutASlateApplication)
{
	ASSERT_FALSE(FSlateApplication::IsInitialized());
	UUserWidget* Widget = MakeWidget({});
	const TSharedRef<SWidget> First = Widget->TakeWidget();
	EXPECT_TRUE(First.IsValid());
	EXPECT_EQ(Widget->TakeWidget(), First);
}

TEST_F(UserWidgetSlate, NewDescriptionShowsFromTheNextPaint)
{
	UUserWidget* Widget = MakeWidget({Box(0, 0, 4, 4, FLinearColor::Red)});
	const TSharedRef<SWidget> Slate = Widget->TakeWidget();
	FWidgetDescription Description;
	Description.Elements = {Box(0, 0, 4, 4, FLinearColor::Blue)};
	Widget->SetDescription(Description);
	UTextureRenderTarget2D* Target = MakeTarget(4, 4);
	FWidgetRenderer Renderer;
	Renderer.DrawWidget(Target, Slate, FVector2D(4, 4), 0.f);
	EXPECT_EQ(Pixel8(Target, 2, 2), FColor(0, 0, 255, 0));
}

TEST_F(UserWidgetSlate, SlateApplicationExistsFromCreateUntilShutdown)
{
	EXPECT_FALSE(FSlateApplication::IsInitialized());
	FSlateApplication::Create();
	EXPECT_TRUE(FSlateApplication::IsInitialized());
	FSlateApplication& First = FSlateApplication::Get();
	FSlateApplication::Create();
	EXPECT_EQ(&FSlateApplication::Get(), &First);
	FSlateApplication::Shutdown();
	EXPECT_FALSE(FSlateApplication::IsInitialized());
}
