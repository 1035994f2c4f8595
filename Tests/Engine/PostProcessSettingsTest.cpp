#include "Engine/Scene.h"
#include "EngineTestFixture.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"

class PostProcessBlendables : public FObjectSystemTest
{
};

TEST_F(PostProcessBlendables, AddingAnObjectAlreadyPresentOnlySetsItsWeight)
{
	UMaterial* Overlay = NewObject<UMaterial>(nullptr, nullptr, TEXT("Overlay"));
	UMaterial* Grade = NewObject<UMaterial>(nullptr, nullptr, TEXT("Grade"));
	FPostProcessSettings Settings;

	Settings.AddBlendable(Overlay, 0.5f);
	Settings.AddBlendable(Grade, 1.f);
	Settings.AddBlendable(Overlay, 0.25f);

	const TArray<FWeightedBlendable>& Blendables = Settings.WeightedBlendables.Array;
	ASSERT_EQ(Blendables.Num(), 2);
	EXPECT_EQ(Blendables[0].Object, Overlay);
	EXPECT_FLOAT_EQ(Blendables[0].Weight, 0.25f);
	EXPECT_EQ(Blendables[1].Object, Grade);
	EXPECT_FLOAT_EQ(Blendables[1].Weight, 1.f);
}

TEST_F(PostProcessBlendables, DynamicInstancesOfOneParentAreSeparateBlendables)
{
	UMaterial* Parent = NewObject<UMaterial>(nullptr, nullptr, TEXT("Overlay"));
	UMaterialInstanceDynamic* First = UMaterialInstanceDynamic::Create(Parent, nullptr);
	UMaterialInstanceDynamic* Second = UMaterialInstanceDynamic::Create(Parent, nullptr);
	FPostProcessSettings Settings;

	Settings.AddBlendable(First, 1.f);
	Settings.AddBlendable(Second, 1.f);

	EXPECT_EQ(Settings.WeightedBlendables.Array.Num(), 2);
	EXPECT_NE(First, Second);
	EXPECT_EQ(First->Parent, Parent);
	EXPECT_EQ(Second->Parent->GetName(), TEXT("Overlay"));
}
