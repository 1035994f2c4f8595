// The UMG context: widgets drawn into the plug-in's render target, and its material put on
// the tagged cameras. Pixels are read back from the target (gamma-encoded 8-bit values); where
// a widget covers the target its alpha is 0, where nothing drew the opaque black clear stays.

#include "Blueprint/GameViewportSubsystem.h"
#include "Blueprint/UserWidget.h"
#include "Camera/CameraComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "Framework/Application/SlateApplication.h"
#include "HeadlessEngineLoop.h"
#include "Kismet/KismetRenderingLibrary.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "QuarnCamera.h"
#include "QuarnEngineFixture.h"
#include "QuarnFunctionLibrary.h"
#include "QuarnUMGContextSubsystem.h"
#include "Rendering/PostProcessing.h"

#include <filesystem>

namespace
{
	const FColor OpaqueBlack(0, 0, 0, 255);
	const FColor Red(255, 0, 0, 0);
	const FColor Blue(0, 0, 255, 0);
	const FName CameraTag(TEXT("QuarnCamera"));
	constexpr char RenderTargetAsset[] = "QuarnUMGToContextRenderTarget2D";
	constexpr char MaterialAsset[] = "QuarnUMGToContextRenderTarget2D_Mat";
} // namespace

class FQuarnUMGContextTest : public FQuarnEngineTest
{
protected:
	void BeforeBoot() override
	{
		PluginRoot = ProjectDir / "Plugin";
		std::filesystem::create_directories(PluginRoot / "Content" / "live");
		// The descriptor's name is the content root the subsystem loads from: /QuarnPranto/.
		std::filesystem::copy_file(std::filesystem::path(QUARN_SOURCE_DIR) / "QuarnPranto.uplugin", PluginRoot / "QuarnPranto.uplugin");
		for (const char* Asset : {RenderTargetAsset, MaterialAsset})
		{
			if (MissingAsset != Asset)
			{
				const std::string File = std::string(Asset) + ".uasset";
				std::filesystem::copy_file(std::filesystem::path(QUARN_SOURCE_DIR) / "Content" / "live" / File, PluginRoot / "Content" / "live" / File);
			}
		}
		PluginDir = FString(PluginRoot.string());
	}

	void SetUp() override
	{
		FQuarnEngineTest::SetUp();
		FSlateApplication::Create();
		World = NewObject<UWorld>(nullptr, nullptr, TEXT("World"));
		UQuarnFunctionLibrary::SetCurrentWorld(World);
		Context = UQuarnUMGContextSubsystem::Get();
		ASSERT_NE(Context, nullptr);
	}

	void TearDown() override
	{
		UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
		FSlateApplication::Shutdown();
		FQuarnEngineTest::TearDown();
	}

	/** A widget of one box of Color; by default the box fills any draw size. */
	UUserWidget* MakeFilledWidget(const FLinearColor& Color, const FVector2D& Size = FVector2D(4096.0, 4096.0))
	{
		FWidgetDescription Description;
		FWidgetElement Box;
		Box.Kind = EWidgetElementKind::Box;
		Box.Size = Size;
		Box.Color = Color;
		Description.Elements.Add(Box);
		UUserWidget* Widget = NewObject<UUserWidget>();
		Widget->SetDescription(Description);
		return Widget;
	}

	AQuarnCamera* SpawnTaggedCamera(const TCHAR* Name)
	{
		AQuarnCamera* Camera = World->SpawnActor<AQuarnCamera>(Name);
		Camera->Tags.Add(CameraTag);
		return Camera;
	}

	FColor Pixel(int32 X, int32 Y) const { return UKismetRenderingLibrary::ReadRenderTargetPixel(World, Context->GetSceneRenderTarget(), X, Y); }

	int32 CountBlendables(const UCameraComponent* Component) const
	{
		int32 Count = 0;
		for (const FWeightedBlendable& Blendable : Component->PostProcessSettings.WeightedBlendables.Array)
		{
			Count += Blendable.Object == Context->GetMaterialInstance() ? 1 : 0;
		}
		return Count;
	}

	std::string MissingAsset;
	std::filesystem::path PluginRoot;
	UWorld* World = nullptr;
	UQuarnUMGContextSubsystem* Context = nullptr;
};

using UMGContextInitialize = FQuarnUMGContextTest;

TEST_F(UMGContextInitialize, LoadsThePluginsRenderTargetAndMakesAnInstanceOfItsMaterial)
{
	UTextureRenderTarget2D* Target = Context->GetSceneRenderTarget();
	ASSERT_NE(Target, nullptr);
	EXPECT_EQ(Target->SizeX, 1920);
	EXPECT_EQ(Target->SizeY, 1080);
	UMaterialInstanceDynamic* Instance = Context->GetMaterialInstance();
	ASSERT_NE(Instance, nullptr);
	ASSERT_NE(Instance->GetMaterial(), nullptr);
	EXPECT_EQ(Instance->GetMaterial()->GetName(), TEXT("QuarnUMGToContextRenderTarget2D_Mat"));
	EXPECT_EQ(Instance->GetMaterial()->OverlayTexture, Target);
	EXPECT_EQ(Context->GetCameraComponent(), nullptr);
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
}

TEST_F(UMGContextInitialize, DrawsWithGammaCorrection)
{
	Context->AddWidget(MakeFilledWidget(FLinearColor(0.5f, 0.5f, 0.5f, 1.f)), FVector2D(64.0, 64.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	// Linear 0.5 is stored display-encoded: 188, not 128.
	EXPECT_EQ(Pixel(10, 10), FColor(188, 188, 188, 0));
}

using UMGContextDrawing = FQuarnUMGContextTest;

TEST_F(UMGContextDrawing, AnEmptyListLeavesTheTargetOpaqueBlack)
{
	UTextureRenderTarget2D* Target = Context->GetSceneRenderTarget();
	Target->Fill(FLinearColor::Red);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.016f);
	for (const FLinearColor& Color : Target->GetPixels())
	{
		ASSERT_EQ(Color, FLinearColor(0.f, 0.f, 0.f, 1.f));
	}
}

TEST_F(UMGContextDrawing, WidgetsAreDrawnInRegistrationOrderEachAtItsOwnSize)
{
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(200.0, 100.0), FVector2D(900.0, 900.0), false);
	Context->AddWidget(MakeFilledWidget(FLinearColor::Blue), FVector2D(100.0, 50.0), FVector2D(5.0, 5.0), false);
	Context->DrawWidgets(FVector2D(32.0, 32.0), 0.f);

	EXPECT_EQ(Pixel(50, 25), Blue) << "the later widget covers the earlier one where both draw";
	EXPECT_EQ(Pixel(150, 75), Red) << "the earlier widget stays where the later one does not reach";
	EXPECT_EQ(Pixel(199, 99), Red);
	EXPECT_EQ(Pixel(200, 100), OpaqueBlack) << "nothing is drawn beyond a widget's own size";
	EXPECT_EQ(Pixel(950, 950), OpaqueBlack) << "the position takes no part in drawing";
}

TEST_F(UMGContextDrawing, TheScreenSizeTakesNoPart)
{
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(10.0, 10.0), 0.f);
	const TArray<FLinearColor> Small = Context->GetSceneRenderTarget()->GetPixels();
	Context->DrawWidgets(FVector2D(3840.0, 2160.0), 0.f);
	EXPECT_TRUE(Small == Context->GetSceneRenderTarget()->GetPixels());
	EXPECT_EQ(Pixel(299, 199), Red);
}

TEST_F(UMGContextDrawing, EveryDrawStartsFromACleanTarget)
{
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	Context->RemoveAllWidgets();
	EXPECT_EQ(Pixel(10, 10), OpaqueBlack) << "removing clears the target";
	Context->AddWidget(MakeFilledWidget(FLinearColor::Blue), FVector2D(100.0, 100.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	EXPECT_EQ(Pixel(10, 10), Blue);
	EXPECT_EQ(Pixel(250, 150), OpaqueBlack) << "nothing is left of a widget that was removed";
}

TEST_F(UMGContextDrawing, WithoutSlateTheTargetIsClearedAndNothingDrawn)
{
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	FSlateApplication::Shutdown();
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	EXPECT_EQ(Pixel(10, 10), OpaqueBlack);
	EXPECT_EQ(Context->GetWidgets().Num(), 1);
}

TEST_F(UMGContextDrawing, ADestroyedWidgetIsSkippedAndTheOthersStillDraw)
{
	UUserWidget* Doomed = MakeFilledWidget(FLinearColor::Red);
	Context->AddWidget(Doomed, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	Context->AddWidget(MakeFilledWidget(FLinearColor::Blue), FVector2D(100.0, 100.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);

	Doomed->MarkAsGarbage();
	CollectGarbage();
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	EXPECT_EQ(Pixel(250, 150), OpaqueBlack);
	EXPECT_EQ(Pixel(10, 10), Blue);

	Context->RemoveAllWidgets();
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
}

using UMGContextWorld = FQuarnUMGContextTest;

TEST_F(UMGContextWorld, WithoutAWorldAddingAndDrawingDoNothing)
{
	UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Widget->AddToViewport(3);
	Context->GetSceneRenderTarget()->Fill(FLinearColor::Green);

	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
	EXPECT_TRUE(Widget->IsInViewport()) << "the widget is not touched";

	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	EXPECT_EQ(Pixel(10, 10), FColor(0, 255, 0, 255)) << "not even cleared";
}

TEST_F(UMGContextWorld, RemovingWithoutAWorldStillEmptiesTheList)
{
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	Context->GetSceneRenderTarget()->Fill(FLinearColor::Green);
	UQuarnFunctionLibrary::SetCurrentWorld(nullptr);

	Context->RemoveAllWidgets();
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
	EXPECT_FALSE(Widget->IsInViewport());
	EXPECT_EQ(Pixel(10, 10), FColor(0, 255, 0, 255)) << "the clear needs a world";
}

using UMGContextViewport = FQuarnUMGContextTest;

TEST_F(UMGContextViewport, WithoutAnimationsAWidgetIsTakenOffTheViewport)
{
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Widget->AddToViewport(2);
	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	EXPECT_FALSE(Widget->IsInViewport());
	ASSERT_EQ(Context->GetWidgets().Num(), 1);
	EXPECT_EQ(Context->GetWidgets()[0].Widget.Get(), Widget);
	EXPECT_EQ(Context->GetWidgets()[0].Size, FVector2D(300.0, 200.0));
}

TEST_F(UMGContextViewport, WithAnimationsAWidgetIsAddedAgainAtZOrderZero)
{
	UGameViewportSubsystem* Viewport = UGameViewportSubsystem::Get();
	ASSERT_NE(Viewport, nullptr);
	UUserWidget* Other = MakeFilledWidget(FLinearColor::Blue);
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Other->AddToViewport(1);
	Widget->AddToViewport(5);
	ASSERT_EQ(Viewport->GetWidgets(), (TArray<UWidget*>{Other, Widget}));

	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	EXPECT_TRUE(Widget->IsInViewport());
	EXPECT_EQ(Viewport->GetWidgets(), (TArray<UWidget*>{Widget, Other})) << "now below the widget at Z-order 1";
}

TEST_F(UMGContextViewport, OnlyWidgetsOnTheViewportPlayTheirAnimations)
{
	UUserWidget* Animated = MakeFilledWidget(FLinearColor::Red);
	UUserWidget* Still = MakeFilledWidget(FLinearColor::Blue);
	Context->AddWidget(Animated, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	Context->AddWidget(Still, FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	for (int32 Frame = 0; Frame < 10; ++Frame)
	{
		FHeadlessEngineLoop::Tick(0.1f);
	}
	EXPECT_NEAR(Animated->GetAnimationTime(), 1.0, 1e-6);
	EXPECT_EQ(Still->GetAnimationTime(), 0.0);
}

TEST_F(UMGContextViewport, RemovingAllTakesTheRegisteredWidgetsOffTheViewport)
{
	UUserWidget* First = MakeFilledWidget(FLinearColor::Red);
	UUserWidget* Second = MakeFilledWidget(FLinearColor::Blue);
	Context->AddWidget(First, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	Context->AddWidget(Second, FVector2D(300.0, 200.0), FVector2D::ZeroVector, true);
	Context->AddWidget(First, FVector2D(10.0, 10.0), FVector2D::ZeroVector, true);
	EXPECT_EQ(Context->GetWidgets().Num(), 3) << "a widget registered twice is drawn twice";

	Context->RemoveAllWidgets();
	EXPECT_FALSE(First->IsInViewport());
	EXPECT_FALSE(Second->IsInViewport());
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
}

using UMGContextCameras = FQuarnUMGContextTest;

TEST_F(UMGContextCameras, EveryTaggedCameraGetsTheBlendableAndTheLastOneIsKept)
{
	AQuarnCamera* First = SpawnTaggedCamera(TEXT("First"));
	AQuarnCamera* Second = SpawnTaggedCamera(TEXT("Second"));
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);

	for (AQuarnCamera* Camera : {First, Second})
	{
		const TArray<FWeightedBlendable>& Blendables = Camera->CameraComponent->PostProcessSettings.WeightedBlendables.Array;
		ASSERT_EQ(Blendables.Num(), 1);
		EXPECT_EQ(Blendables[0].Object, Context->GetMaterialInstance());
		EXPECT_EQ(Blendables[0].Weight, 1.f);
	}
	EXPECT_EQ(Context->GetCameraComponent(), Second->CameraComponent);
}

TEST_F(UMGContextCameras, ALastTaggedCameraWithoutAComponentLeavesNoComponent)
{
	AQuarnCamera* First = SpawnTaggedCamera(TEXT("First"));
	AQuarnCamera* Bare = SpawnTaggedCamera(TEXT("Bare"));
	Bare->RemoveComponent(Bare->CameraComponent);
	Bare->CameraComponent = nullptr;

	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	EXPECT_EQ(CountBlendables(First->CameraComponent), 1);
	EXPECT_EQ(Context->GetCameraComponent(), nullptr);
}

TEST_F(UMGContextCameras, OtherActorsAndUntaggedCamerasAreLeftAlone)
{
	AQuarnCamera* Tagged = SpawnTaggedCamera(TEXT("Tagged"));
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	ASSERT_EQ(Context->GetCameraComponent(), Tagged->CameraComponent);
	Tagged->Destroy();

	AQuarnCamera* Untagged = World->SpawnActor<AQuarnCamera>(TEXT("Untagged"));
	AActor* Foreign = World->SpawnActor<AActor>(TEXT("Foreign"));
	Foreign->Tags.Add(CameraTag);
	UCameraComponent* ForeignCamera = Foreign->AddComponent<UCameraComponent>(TEXT("Camera"));

	Context->AddWidget(MakeFilledWidget(FLinearColor::Blue), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	EXPECT_EQ(CountBlendables(Untagged->CameraComponent), 0);
	EXPECT_EQ(CountBlendables(ForeignCamera), 0);
	EXPECT_EQ(Context->GetWidgets().Num(), 2) << "registered even with no camera to composite it";
}

TEST_F(UMGContextCameras, AddingAgainAfterRemovingAllKeepsOneBlendableAtFullWeight)
{
	AQuarnCamera* Camera = SpawnTaggedCamera(TEXT("Camera"));
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	Context->RemoveAllWidgets();
	ASSERT_EQ(CountBlendables(Camera->CameraComponent), 1) << "removing widgets leaves the blendable";
	Camera->CameraComponent->PostProcessSettings.WeightedBlendables.Array[0].Weight = 0.25f;

	Context->AddWidget(MakeFilledWidget(FLinearColor::Blue), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	ASSERT_EQ(Camera->CameraComponent->PostProcessSettings.WeightedBlendables.Array.Num(), 1);
	EXPECT_EQ(Camera->CameraComponent->PostProcessSettings.WeightedBlendables.Array[0].Weight, 1.f);
}

TEST_F(UMGContextCameras, TheCameraPictureShowsTheWidgetsOverTheScene)
{
	AQuarnCamera* Camera = SpawnTaggedCamera(TEXT("Camera"));
	Camera->CameraComponent->ScenePicture = FImage(1920, 1080, FColor(0, 128, 0, 255));
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red, FVector2D(100.0, 100.0)), FVector2D(1920.0, 1080.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	const FImage Picture = FPostProcessing::RenderCameraPicture(*Camera->CameraComponent);
	ASSERT_EQ(Picture.SizeX, 1920);
	EXPECT_EQ(Picture.Pixel(50, 50), FColor(255, 0, 0, 255));
	EXPECT_EQ(Picture.Pixel(500, 500), FColor(0, 128, 0, 255)) << "the scene shows where the widget is transparent";
}

namespace
{
	/** A scene with a different colour in every pixel, so that any change shows. */
	FImage StudioPicture()
	{
		FImage Picture(1920, 1080);
		for (int32 Y = 0; Y < Picture.SizeY; ++Y)
		{
			for (int32 X = 0; X < Picture.SizeX; ++X)
			{
				Picture.Pixel(X, Y) = FColor(static_cast<uint8>(X), static_cast<uint8>(Y), static_cast<uint8>(X / 256 + Y / 256 * 8), 255);
			}
		}
		return Picture;
	}

	/** Pixels of Picture that differ from Scene outside [MinX, MaxX) x [MinY, MaxY). */
	int32 ChangesOutside(const FImage& Picture, const FImage& Scene, int32 MinX, int32 MinY, int32 MaxX, int32 MaxY)
	{
		int32 Changes = 0;
		for (int32 Y = 0; Y < Scene.SizeY; ++Y)
		{
			for (int32 X = 0; X < Scene.SizeX; ++X)
			{
				const bool bInside = X >= MinX && X < MaxX && Y >= MinY && Y < MaxY;
				Changes += !bInside && !(Picture.Pixel(X, Y) == Scene.Pixel(X, Y)) ? 1 : 0;
			}
		}
		return Changes;
	}
} // namespace

TEST_F(UMGContextCameras, ASmallWidgetCoversOnlyItsOwnPixelsOfTheCameraPicture)
{
	AQuarnCamera* Camera = SpawnTaggedCamera(TEXT("Camera"));
	const FImage Scene = StudioPicture();
	Camera->CameraComponent->ScenePicture = Scene;

	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(120.0, 40.0), FVector2D(1600.0, 40.0), false);
	EXPECT_EQ(ChangesOutside(FPostProcessing::RenderCameraPicture(*Camera->CameraComponent), Scene, 0, 0, 0, 0), 0)
		<< "before any widget is drawn the camera shows its picture";

	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	const FImage Picture = FPostProcessing::RenderCameraPicture(*Camera->CameraComponent);
	EXPECT_EQ(Picture.Pixel(0, 0), FColor(255, 0, 0, 255));
	EXPECT_EQ(Picture.Pixel(119, 39), FColor(255, 0, 0, 255));
	EXPECT_EQ(Picture.Pixel(120, 39), Scene.Pixel(120, 39));
	EXPECT_EQ(ChangesOutside(Picture, Scene, 0, 0, 120, 40), 0) << "the camera picture is intact around the widget";

	Context->RemoveAllWidgets();
	EXPECT_EQ(ChangesOutside(FPostProcessing::RenderCameraPicture(*Camera->CameraComponent), Scene, 0, 0, 0, 0), 0)
		<< "after removing every widget the camera shows its picture, not black";
}

/** The context booted without one of the plug-in's assets. */
template <const char* Asset>
class TUMGContextWithout : public FQuarnUMGContextTest
{
protected:
	void BeforeBoot() override
	{
		MissingAsset = Asset;
		FQuarnUMGContextTest::BeforeBoot();
	}
};

using UMGContextMissingRenderTarget = TUMGContextWithout<RenderTargetAsset>;

TEST_F(UMGContextMissingRenderTarget, WidgetsAreRegisteredButNothingIsDrawn)
{
	EXPECT_EQ(Context->GetSceneRenderTarget(), nullptr);
	ASSERT_NE(Context->GetMaterialInstance(), nullptr);
	AQuarnCamera* Camera = SpawnTaggedCamera(TEXT("Camera"));
	Context->AddWidget(MakeFilledWidget(FLinearColor::Red), FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	Context->RemoveAllWidgets();
	EXPECT_EQ(CountBlendables(Camera->CameraComponent), 1);
}

using UMGContextMissingMaterial = TUMGContextWithout<MaterialAsset>;

TEST_F(UMGContextMissingMaterial, NoWidgetIsRegisteredAndNoCameraTouched)
{
	EXPECT_EQ(Context->GetMaterialInstance(), nullptr);
	ASSERT_NE(Context->GetSceneRenderTarget(), nullptr);
	AQuarnCamera* Camera = SpawnTaggedCamera(TEXT("Camera"));
	UUserWidget* Widget = MakeFilledWidget(FLinearColor::Red);
	Widget->AddToViewport(0);
	Context->AddWidget(Widget, FVector2D(300.0, 200.0), FVector2D::ZeroVector, false);
	EXPECT_EQ(Context->GetWidgets().Num(), 0);
	EXPECT_TRUE(Widget->IsInViewport());
	EXPECT_EQ(Camera->CameraComponent->PostProcessSettings.WeightedBlendables.Array.Num(), 0);

	Context->DrawWidgets(FVector2D(1920.0, 1080.0), 0.f);
	EXPECT_EQ(Pixel(10, 10), OpaqueBlack);
}

TEST(UMGContextBlueprintFace, ThreeCallableFunctionsWithTheirTooltipsAndPins)
{
	UClass* Class = UQuarnUMGContextSubsystem::StaticClass();
	EXPECT_EQ(Class->GetMetaData(TEXT("BlueprintType")), TEXT("true"));
	EXPECT_EQ(FQuarnUMGWidgetData::StaticStruct()->GetMetaData(TEXT("BlueprintType")), TEXT("true"));

	const std::pair<const TCHAR*, const char*> Functions[] = {
		{TEXT("AddWidget"), "Add Widget To Context\n@param bEnableAnimations To enable animations the widget will duplicate on the editor viewport."},
		{TEXT("DrawWidgets"), "Draws all UMG Widgets To Context"},
		{TEXT("RemoveAllWidgets"), "Remove all Widgets from Context"},
	};
	for (const auto& [Name, ToolTip] : Functions)
	{
		const UFunction* Function = Class->FindFunctionByName(Name);
		ASSERT_NE(Function, nullptr) << Name;
		EXPECT_EQ(Function->GetToolTipText().ToString().ToStdString(), ToolTip);
		EXPECT_EQ(Function->GetMetaData(TEXT("Category")), TEXT("Quarn|Live"));
		EXPECT_TRUE(Function->HasAllFunctionFlags(FUNC_BlueprintCallable | FUNC_Final | FUNC_Public)) << Name;
	}

	const TArray<FProperty*>& Pins = Class->FindFunctionByName(TEXT("AddWidget"))->GetParameters();
	ASSERT_EQ(Pins.Num(), 4);
	EXPECT_EQ(Pins[0]->GetName(), TEXT("widget"));
	EXPECT_TRUE(Pins[0]->HasMetaData(TEXT("EditInline")));
	EXPECT_EQ(Pins[1]->GetName(), TEXT("Size"));
	EXPECT_EQ(Pins[2]->GetName(), TEXT("Position"));
	EXPECT_EQ(Pins[3]->GetName(), TEXT("bEnableAnimations"));

	const FQuarnUMGWidgetData Entry;
	EXPECT_EQ(Entry.Size, FVector2D::ZeroVector);
	EXPECT_EQ(Entry.Position, FVector2D::ZeroVector);
	EXPECT_EQ(Entry.Widget.Get(), nullptr);
}
