#include "Camera/CameraComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "EngineTestFixture.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Rendering/PostProcessing.h"

#include <ostream>

// Readable pixel failures.
inline void PrintTo(const FColor& Color, std::ostream* Out)
{
	*Out << "(" << int(Color.R) << "," << int(Color.G) << "," << int(Color.B) << "," << int(Color.A) << ")";
}

/** A camera with a small scene picture and helpers for overlay materials. Targets keep floats exactly. */
class FPostProcessingTest : public FObjectSystemTest
{
protected:
	void SetUp() override
	{
		FObjectSystemTest::SetUp();
		Camera = NewObject<UCameraComponent>(nullptr, nullptr, TEXT("Camera"));
		Camera->ScenePicture = FImage(3, 1, Scene);
	}

	UTextureRenderTarget2D* MakeTarget(const TArray<FLinearColor>& Row)
	{
		UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
		Target->RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA16f;
		Target->SizeX = Row.Num();
		Target->SizeY = 1;
		Target->PostLoad();
		for (int32 X = 0; X < Row.Num(); ++X)
		{
			Target->FillRect(X, 0, X + 1, 1, Row[X]);
		}
		return Target;
	}

	UMaterial* MakeMaterial(UTexture* Overlay, EMaterialDomain Domain = EMaterialDomain::MD_PostProcess, EOverlayBlend Blend = EOverlayBlend::Translucent)
	{
		UMaterial* Material = NewObject<UMaterial>();
		Material->MaterialDomain = Domain;
		Material->OverlayTexture = Overlay;
		Material->OverlayBlend = Blend;
		return Material;
	}

	/** One overlay texel over every scene pixel. */
	UMaterial* MakeFlatOverlay(const FLinearColor& Texel) { return MakeMaterial(MakeTarget({Texel})); }

	FImage Render() const { return FPostProcessing::RenderCameraPicture(*Camera); }

	static constexpr FColor Scene = FColor(101, 51, 201, 77);
	UCameraComponent* Camera = nullptr;
};

using CameraPicture = FPostProcessingTest;

TEST_F(CameraPicture, WithoutBlendablesIsTheScenePicture)
{
	Camera->ScenePicture.Pixel(1, 0) = FColor(1, 2, 3, 4);
	const FImage Picture = Render();
	ASSERT_EQ(Picture.SizeX, 3);
	ASSERT_EQ(Picture.SizeY, 1);
	EXPECT_EQ(Picture.RawData, Camera->ScenePicture.RawData);
}

TEST_F(CameraPicture, EmptyScenePictureIsBlack1920x1080)
{
	Camera->ScenePicture = FImage();
	const FImage Picture = Render();
	ASSERT_EQ(Picture.SizeX, 1920);
	ASSERT_EQ(Picture.SizeY, 1080);
	ASSERT_EQ(Picture.RawData.Num(), 1920 * 1080);
	EXPECT_EQ(Picture.Pixel(0, 0), FColor(0, 0, 0, 255));
	EXPECT_EQ(Picture.Pixel(1919, 1079), FColor(0, 0, 0, 255));
}

using PostProcessOverlay = FPostProcessingTest;

TEST_F(PostProcessOverlay, MixesByTheOverlaysAlphaAndKeepsThePicturesAlpha)
{
	UTextureRenderTarget2D* Target = MakeTarget({FLinearColor(1.f, 0.f, 0.f, 0.f), FLinearColor(0.2f, 0.4f, 1.f, 1.f), FLinearColor(1.f, 1.f, 1.f, 0.5f)});
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(Target), 1.f);

	const FImage Picture = Render();
	ASSERT_EQ(Picture.RawData.Num(), 3);
	EXPECT_EQ(Picture.Pixel(0, 0), Scene) << "alpha 0 leaves the picture";
	EXPECT_EQ(Picture.Pixel(1, 0), FColor(124, 170, 255, 77)) << "alpha 1 replaces the colour, written sRGB-encoded";
	EXPECT_EQ(Picture.Pixel(2, 0), FColor(198, 190, 230, 77)) << "alpha 0.5 averages in linear light, not (178, 153, 228) as display values would";
}

TEST_F(PostProcessOverlay, InvertedAlphaCompositeLetsThroughWhatTheAlphaSaysAndAddsTheColour)
{
	// As the widget renderer leaves a target cleared to opaque black: nothing, half a red plate, opaque white.
	UTextureRenderTarget2D* Target = MakeTarget({FLinearColor(0.f, 0.f, 0.f, 1.f), FLinearColor(0.5f, 0.f, 0.f, 0.5f), FLinearColor(1.f, 1.f, 1.f, 0.f)});
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(Target, EMaterialDomain::MD_PostProcess, EOverlayBlend::InvertedAlphaComposite), 1.f);

	const FImage Picture = Render();
	EXPECT_EQ(Picture.Pixel(0, 0), Scene) << "where nothing drew the picture is untouched";
	EXPECT_EQ(Picture.Pixel(1, 0), FColor(198, 35, 147, 77));
	EXPECT_EQ(Picture.Pixel(2, 0), FColor(255, 255, 255, 77));
}

TEST_F(PostProcessOverlay, EightBitTargetIsReadAsSRGBAndAFloatTargetAsLinear)
{
	const float Code188 = 188.f / 255.f;
	UTextureRenderTarget2D* Encoded = MakeTarget({FLinearColor(Code188, Code188, Code188, 1.f)});
	Encoded->RenderTargetFormat = ETextureRenderTargetFormat::RTF_RGBA8;
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(Encoded), 1.f);
	EXPECT_EQ(Render().Pixel(0, 0), FColor(188, 188, 188, 77));

	Camera->PostProcessSettings.WeightedBlendables.Array.Empty();
	Camera->PostProcessSettings.AddBlendable(MakeFlatOverlay(FLinearColor(Code188, Code188, Code188, 1.f)), 1.f);
	EXPECT_EQ(Render().Pixel(0, 0), FColor(223, 223, 223, 77));
}

TEST_F(PostProcessOverlay, IsStretchedAndSampledNearest)
{
	const FLinearColor Red(1.f, 0.f, 0.f, 1.f);
	const FLinearColor Green(0.f, 1.f, 0.f, 1.f);
	const FLinearColor Blue(0.f, 0.f, 1.f, 1.f);
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(MakeTarget({Red, Green})), 1.f);
	Camera->ScenePicture = FImage(4, 2, Scene);

	const FImage Wider = Render();
	ASSERT_EQ(Wider.RawData.Num(), 8);
	const FColor Expected[] = {FColor(255, 0, 0, 77), FColor(255, 0, 0, 77), FColor(0, 255, 0, 77), FColor(0, 255, 0, 77)};
	for (int32 X = 0; X < 4; ++X)
	{
		EXPECT_EQ(Wider.Pixel(X, 0), Expected[X]) << X;
		EXPECT_EQ(Wider.Pixel(X, 1), Expected[X]) << X << " second row";
	}

	Camera->PostProcessSettings.WeightedBlendables.Array.Empty();
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(MakeTarget({Red, Green, Blue})), 1.f);
	Camera->ScenePicture = FImage(2, 1, Scene);
	const FImage Narrower = Render();
	EXPECT_EQ(Narrower.Pixel(0, 0), FColor(255, 0, 0, 77));
	EXPECT_EQ(Narrower.Pixel(1, 0), FColor(0, 0, 255, 77));
}

TEST_F(PostProcessOverlay, TwoBlendablesApplyInListOrder)
{
	Camera->PostProcessSettings.AddBlendable(MakeFlatOverlay(FLinearColor(1.f, 0.f, 0.f, 1.f)), 1.f);
	Camera->PostProcessSettings.AddBlendable(MakeFlatOverlay(FLinearColor(0.2f, 0.4f, 0.8f, 0.5f)), 1.f);

	EXPECT_EQ(Render().Pixel(0, 0), FColor(203, 124, 170, 77));
}

TEST_F(PostProcessOverlay, InstanceOfAPostProcessMaterialApplies)
{
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(MakeFlatOverlay(FLinearColor(1.f, 1.f, 1.f, 1.f)), nullptr);
	Camera->PostProcessSettings.AddBlendable(Instance, 1.f);

	EXPECT_EQ(Render().Pixel(0, 0), FColor(255, 255, 255, 77));
}

using PostProcessWeight = FPostProcessingTest;

TEST_F(PostProcessWeight, BlendsTheOverlaidPictureIn)
{
	Camera->PostProcessSettings.AddBlendable(MakeFlatOverlay(FLinearColor(1.f, 1.f, 1.f, 1.f)), 0.5f);
	EXPECT_EQ(Render().Pixel(0, 0), FColor(198, 190, 230, 77)) << "in linear light";

	Camera->PostProcessSettings.AddBlendable(Camera->PostProcessSettings.WeightedBlendables.Array[0].Object, 4.f);
	EXPECT_EQ(Render().Pixel(0, 0), FColor(255, 255, 255, 77)) << "weights above 1 count as 1";
}

TEST_F(PostProcessWeight, CamerasBlendWeightScalesEveryBlendable)
{
	Camera->PostProcessSettings.AddBlendable(MakeFlatOverlay(FLinearColor(1.f, 1.f, 1.f, 1.f)), 1.f);
	Camera->PostProcessBlendWeight = 0.5f;
	EXPECT_EQ(Render().Pixel(0, 0), FColor(198, 190, 230, 77));

	Camera->PostProcessBlendWeight = 0.f;
	EXPECT_EQ(Render().Pixel(0, 0), Scene);
	Camera->PostProcessBlendWeight = 3.f;
	EXPECT_EQ(Render().Pixel(0, 0), FColor(255, 255, 255, 77));
}

TEST_F(PostProcessWeight, ZeroOrNegativeWeightIsIgnored)
{
	UMaterial* Overlay = MakeFlatOverlay(FLinearColor(1.f, 1.f, 1.f, 1.f));
	Camera->PostProcessSettings.AddBlendable(Overlay, 0.f);
	EXPECT_EQ(Render().Pixel(0, 0), Scene);
	Camera->PostProcessSettings.AddBlendable(Overlay, -1.f);
	EXPECT_EQ(Render().Pixel(0, 0), Scene);
}

using PostProcessBlendableChoice = FPostProcessingTest;

TEST_F(PostProcessBlendableChoice, SurfaceMaterialIsIgnored)
{
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(MakeTarget({FLinearColor(1.f, 1.f, 1.f, 1.f)}), EMaterialDomain::MD_Surface), 1.f);
	EXPECT_EQ(Render().Pixel(0, 0), Scene);
}

TEST_F(PostProcessBlendableChoice, BlendablesWithoutAnOverlayTargetAreIgnored)
{
	UMaterialInstanceDynamic* Orphan = UMaterialInstanceDynamic::Create(nullptr, nullptr);
	UTextureRenderTarget2D* Unallocated = NewObject<UTextureRenderTarget2D>();
	Unallocated->SizeX = 2;
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(nullptr), 1.f);
	Camera->PostProcessSettings.AddBlendable(MakeMaterial(Unallocated), 1.f);
	Camera->PostProcessSettings.AddBlendable(Orphan, 1.f);
	Camera->PostProcessSettings.AddBlendable(MakeTarget({FLinearColor(1.f, 1.f, 1.f, 1.f)}), 1.f);
	Camera->PostProcessSettings.AddBlendable(nullptr, 1.f);

	EXPECT_EQ(Render().RawData, Camera->ScenePicture.RawData);
}

TEST_F(PostProcessBlendableChoice, MaterialMarkedAsGarbageIsIgnored)
{
	UMaterial* Overlay = MakeFlatOverlay(FLinearColor(1.f, 1.f, 1.f, 1.f));
	Camera->PostProcessSettings.AddBlendable(Overlay, 1.f);
	Overlay->MarkAsGarbage();
	EXPECT_EQ(Render().Pixel(0, 0), Scene);
}

using MaterialBase = FObjectSystemTest;

TEST_F(MaterialBase, IsFoundThroughAChainOfInstances)
{
	UMaterial* Base = NewObject<UMaterial>();
	UMaterialInstanceDynamic* Child = UMaterialInstanceDynamic::Create(Base, nullptr);
	UMaterialInstanceDynamic* GrandChild = UMaterialInstanceDynamic::Create(Child, nullptr);

	EXPECT_EQ(Base->GetMaterial(), Base);
	EXPECT_EQ(Child->GetMaterial(), Base);
	EXPECT_EQ(GrandChild->GetMaterial(), Base);
}

TEST_F(MaterialBase, IsNullForAnInstanceWithoutParentOrWithAParentLoop)
{
	UMaterialInstanceDynamic* Orphan = UMaterialInstanceDynamic::Create(nullptr, nullptr);
	UMaterialInstanceDynamic* Child = UMaterialInstanceDynamic::Create(Orphan, nullptr);
	EXPECT_EQ(Orphan->GetMaterial(), nullptr);
	EXPECT_EQ(Child->GetMaterial(), nullptr);

	UMaterialInstanceDynamic* First = UMaterialInstanceDynamic::Create(nullptr, nullptr);
	UMaterialInstanceDynamic* Second = UMaterialInstanceDynamic::Create(First, nullptr);
	First->Parent = Second;
	EXPECT_EQ(First->GetMaterial(), nullptr);
	EXPECT_EQ(Second->GetMaterial(), nullptr);
}
