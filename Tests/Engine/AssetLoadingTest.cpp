#include "Camera/CameraComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "EngineTestFixture.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Rendering/PostProcessing.h"

#include <fstream>
#include <mutex>
#include <string>

namespace
{
	template <typename T>
	T* LoadAsset(const TCHAR* Name)
	{
		return static_cast<T*>(StaticLoadObject(T::StaticClass(), nullptr, Name));
	}

	const TCHAR* VerbosityName(ELogVerbosity::Type Verbosity)
	{
		return (Verbosity & ELogVerbosity::VerbosityMask) == ELogVerbosity::Warning ? TEXT("Warning") : TEXT("Other");
	}

	/** The loader's log lines, in order, each led by its verbosity. */
	class FLoaderWarnings final : public FOutputDevice
	{
	public:
		FLoaderWarnings() { GLog->AddOutputDevice(this); }
		~FLoaderWarnings() override { GLog->RemoveOutputDevice(this); }

		void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override
		{
			std::lock_guard<std::mutex> Guard(Lock);
			if (Category == FName(TEXT("LogUObjectGlobals")))
			{
				Lines.Add(FString::Printf(TEXT("%s: %s"), VerbosityName(Verbosity), Message));
			}
		}

		TArray<FString> Take()
		{
			std::lock_guard<std::mutex> Guard(Lock);
			TArray<FString> Taken = Lines;
			Lines.Empty();
			return Taken;
		}

	private:
		std::mutex Lock;
		TArray<FString> Lines;
	};
} // namespace

/** Writes assets into the temporary project's Content/Tests/ ("/Game/Tests/") and loads the plug-in's own content. */
class FAssetLoadingTest : public FObjectSystemTest
{
protected:
	void SetUp() override
	{
		FObjectSystemTest::SetUp();
		PreviousPluginDir = FPaths::PluginDir();
		FPaths::SetPluginDir(TEXT(QUARN_PLUGIN_SOURCE_DIR));
		std::filesystem::create_directories(ProjectDir / "Content" / "Tests");
	}

	void TearDown() override
	{
		FPaths::SetPluginDir(PreviousPluginDir);
		FObjectSystemTest::TearDown();
	}

	FString WriteAsset(const std::string& Name, const std::string& Text)
	{
		const std::filesystem::path File = ProjectDir / "Content" / "Tests" / (Name + ".uasset");
		std::ofstream(File) << Text;
		return FString(File.string());
	}

	/** Null, with exactly one warning that names the path and carries Reason. */
	void ExpectFailure(UObject* Loaded, const TCHAR* Path, const TCHAR* Reason)
	{
		EXPECT_EQ(Loaded, nullptr) << Path;
		ExpectOneWarning(Path, Reason);
	}

	void ExpectOneWarning(const TCHAR* Path, const TCHAR* Reason)
	{
		const TArray<FString> Lines = Warnings.Take();
		ASSERT_EQ(Lines.Num(), 1) << Path;
		EXPECT_TRUE(Lines[0].StartsWith(FString::Printf(TEXT("Warning: Failed to load '%s': "), Path), ESearchCase::CaseSensitive))
			<< Lines[0].ToStdString();
		EXPECT_TRUE(Lines[0].Contains(Reason, ESearchCase::CaseSensitive)) << Lines[0].ToStdString();
	}

	FLoaderWarnings Warnings;
	FString PreviousPluginDir;
};

namespace
{
	const std::string BaseMaterial = R"({ "Class": "/Script/Engine.Material", "Properties": { "MaterialDomain": "MD_PostProcess" } })";
}

using PluginContent = FAssetLoadingTest;

TEST_F(PluginContent, RenderTargetIsAnOpaqueBlack1920x1080Rgba8Target)
{
	UTextureRenderTarget2D* Target = LoadAsset<UTextureRenderTarget2D>(TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D"));
	ASSERT_NE(Target, nullptr);
	EXPECT_EQ(Target->GetName(), TEXT("QuarnUMGToContextRenderTarget2D"));
	EXPECT_EQ(Target->SizeX, 1920);
	EXPECT_EQ(Target->SizeY, 1080);
	EXPECT_EQ(Target->RenderTargetFormat, ETextureRenderTargetFormat::RTF_RGBA8);
	EXPECT_EQ(Target->ClearColor, FLinearColor(0.f, 0.f, 0.f, 1.f));
	ASSERT_EQ(Target->GetPixels().Num(), 1920 * 1080) << "pixels are made after the size is loaded";
	EXPECT_EQ(Target->GetRow(1079)[1919], FLinearColor(0.f, 0.f, 0.f, 1.f));
	EXPECT_TRUE(Warnings.Take().IsEmpty());
}

TEST_F(PluginContent, MaterialIsAPostProcessMaterialOverTheRenderTarget)
{
	UMaterial* Material = LoadAsset<UMaterial>(TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D_Mat"));
	ASSERT_NE(Material, nullptr);
	EXPECT_EQ(Material->MaterialDomain, EMaterialDomain::MD_PostProcess);
	EXPECT_EQ(Material->OverlayBlend, EOverlayBlend::InvertedAlphaComposite) << "it reads the widget renderer's coverage as one minus alpha";
	UTextureRenderTarget2D* Target = LoadAsset<UTextureRenderTarget2D>(TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D"));
	ASSERT_NE(Target, nullptr);
	EXPECT_EQ(Material->OverlayTexture, Target) << "the reference and a direct load are one object";
	EXPECT_EQ(Material->GetMaterial(), Material);
	EXPECT_TRUE(Warnings.Take().IsEmpty());
}

TEST_F(PluginContent, LoadsThroughStaticLoadObjectByClassAndPath)
{
	UObject* Loaded = StaticLoadObject(UMaterial::StaticClass(), nullptr, TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D_Mat"));
	ASSERT_NE(Loaded, nullptr);
	EXPECT_EQ(Loaded->GetClass(), UMaterial::StaticClass());
	EXPECT_EQ(StaticLoadObject(UObject::StaticClass(), nullptr, TEXT("/quarnpranto/live/QuarnUMGToContextRenderTarget2D_Mat")), Loaded)
		<< "the root matches ignoring case";
}

TEST_F(PluginContent, MaterialInstanceOnACameraLaysTheRenderTargetOverItsPicture)
{
	UMaterial* Material = LoadAsset<UMaterial>(TEXT("/QuarnPranto/live/QuarnUMGToContextRenderTarget2D_Mat"));
	ASSERT_NE(Material, nullptr);
	UTextureRenderTarget2D* Target = Cast<UTextureRenderTarget2D>(Material->OverlayTexture);
	ASSERT_NE(Target, nullptr);
	// The picture's top-left pixel samples the target at (480, 270) once the target is stretched over 2x2.
	// Drawn by the widget renderer: colour weighted by full coverage, alpha one minus it.
	Target->FillRect(480, 270, 481, 271, FLinearColor(1.f, 0.5f, 0.f, 0.f));
	UCameraComponent* Camera = NewObject<UCameraComponent>();
	Camera->ScenePicture = FImage(2, 2, FColor(90, 90, 90, 255));
	Camera->PostProcessSettings.AddBlendable(UMaterialInstanceDynamic::Create(Material, nullptr), 1.f);

	const FImage Picture = FPostProcessing::RenderCameraPicture(*Camera);
	ASSERT_EQ(Picture.RawData.Num(), 4);
	EXPECT_EQ(Picture.Pixel(0, 0), FColor(255, 128, 0, 255)) << "RGBA8 keeps 0.5 as 128/255, read back as the sRGB code it is";
	EXPECT_EQ(Picture.Pixel(1, 1), FColor(90, 90, 90, 255)) << "the opaque black clear colour lets the scene through";
}

using LoadedAssetIdentity = FAssetLoadingTest;

TEST_F(LoadedAssetIdentity, SamePathGivesTheSameObjectWhileItLives)
{
	WriteAsset("M_Base", BaseMaterial);
	UMaterial* First = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base"));
	ASSERT_NE(First, nullptr);
	EXPECT_EQ(LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base")), First);
	EXPECT_EQ(LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base.M_Base")), First);
	EXPECT_EQ(LoadAsset<UMaterialInterface>(TEXT("/Game/Tests/M_Base")), First) << "a parent class finds it too";
}

TEST_F(LoadedAssetIdentity, AnAssetWhoseObjectIsGoneIsReadAgain)
{
	WriteAsset("M_Base", BaseMaterial);
	UMaterial* First = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base"));
	ASSERT_NE(First, nullptr);
	First->MarkAsGarbage();
	CollectGarbage();
	WriteAsset("M_Base", R"({ "Class": "/Script/Engine.Material" })");

	UMaterial* Second = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base"));
	ASSERT_NE(Second, nullptr);
	EXPECT_TRUE(IsValid(Second));
	EXPECT_EQ(Second->MaterialDomain, EMaterialDomain::MD_Surface) << "read from the file as it is now";
}

TEST_F(LoadedAssetIdentity, AFailedLoadLeavesNothingBehindToBeFound)
{
	WriteAsset("RT_Target", R"({ "Class": "/Script/Engine.TextureRenderTarget2D", "Properties": { "SizeX": "wide" } })");
	EXPECT_EQ(LoadAsset<UTextureRenderTarget2D>(TEXT("/Game/Tests/RT_Target")), nullptr);
	WriteAsset("RT_Target", R"({ "Class": "/Script/Engine.TextureRenderTarget2D", "Properties": { "SizeX": 4, "SizeY": 2 } })");

	UTextureRenderTarget2D* Target = LoadAsset<UTextureRenderTarget2D>(TEXT("/Game/Tests/RT_Target"));
	ASSERT_NE(Target, nullptr);
	EXPECT_EQ(Target->SizeX, 4);
	EXPECT_EQ(Target->GetPixels().Num(), 8);
}

using AssetLoadFailure = FAssetLoadingTest;

TEST_F(AssetLoadFailure, GivesNullAndOneWarningThatSaysWhy)
{
	struct FCase
	{
		/** Written to Content/Tests/ first, unless empty. */
		std::string File;
		std::string Text;
		UClass* Class;
		const TCHAR* Path;
		const TCHAR* Reason;
	};
	const std::string RenderTarget = R"({ "Class": "/Script/Engine.TextureRenderTarget2D", "Properties": )";
	const FCase Cases[] = {
		{"", "", UMaterial::StaticClass(), TEXT("/Engine/Tests/M_Base"), TEXT("no mounted content root")},
		{"", "", UMaterial::StaticClass(), TEXT("M_Base"), TEXT("not an asset path")},
		{"M_Broken", R"({ "Class": "/Script/Engine.Material", )", UMaterial::StaticClass(), TEXT("/Game/Tests/M_Broken"), TEXT("is not valid JSON")},
		{"M_Array", R"([ "/Script/Engine.Material" ])", UMaterial::StaticClass(), TEXT("/Game/Tests/M_Array"), TEXT("does not hold a JSON object")},
		{"M_NoClass", R"({ "Properties": {} })", UMaterial::StaticClass(), TEXT("/Game/Tests/M_NoClass"), TEXT("names no \"Class\"")},
		{"M_ListOfProperties", R"({ "Class": "/Script/Engine.Material", "Properties": [] })", UMaterial::StaticClass(),
			TEXT("/Game/Tests/M_ListOfProperties"), TEXT("\"Properties\"")},
		{"M_Unknown", R"({ "Class": "/Script/Engine.MaterialThatIsNot" })", UMaterial::StaticClass(), TEXT("/Game/Tests/M_Unknown"),
			TEXT("unknown class /Script/Engine.MaterialThatIsNot")},
		{"T_Abstract", R"({ "Class": "/Script/Engine.Texture" })", UTexture::StaticClass(), TEXT("/Game/Tests/T_Abstract"), TEXT("cannot be instanced")},
		{"M_Base", BaseMaterial, UTextureRenderTarget2D::StaticClass(), TEXT("/Game/Tests/M_Base"), TEXT("it is a Material, not a TextureRenderTarget2D")},
		{"M_Named", BaseMaterial, UMaterial::StaticClass(), TEXT("/Game/Tests/M_Named.M_Other"), TEXT("no object named 'M_Other'")},
		{"M_Extra", R"({ "Class": "/Script/Engine.Material", "Properties": { "Shininess": 1 } })", UMaterial::StaticClass(), TEXT("/Game/Tests/M_Extra"),
			TEXT("has no property 'Shininess'")},
		{"RT_Text", RenderTarget + R"({ "SizeX": "wide" } })", UTextureRenderTarget2D::StaticClass(), TEXT("/Game/Tests/RT_Text"),
			TEXT("bad value \"wide\" for property 'SizeX'")},
		{"RT_Fraction", RenderTarget + R"({ "SizeY": 1.5 } })", UTextureRenderTarget2D::StaticClass(), TEXT("/Game/Tests/RT_Fraction"), TEXT("for property 'SizeY'")},
		{"RT_Format", RenderTarget + R"({ "RenderTargetFormat": "RTF_RGBA9" } })", UTextureRenderTarget2D::StaticClass(), TEXT("/Game/Tests/RT_Format"),
			TEXT("for property 'RenderTargetFormat'")},
		{"RT_Colour", RenderTarget + R"({ "ClearColor": [0, 0, 0, 1] } })", UTextureRenderTarget2D::StaticClass(), TEXT("/Game/Tests/RT_Colour"),
			TEXT("for property 'ClearColor'")},
		{"M_Overlay", R"({ "Class": "/Script/Engine.Material", "Properties": { "OverlayTexture": "RT_Target" } })", UMaterial::StaticClass(),
			TEXT("/Game/Tests/M_Overlay"), TEXT("bad value \"RT_Target\" for property 'OverlayTexture'")},
	};
	for (const FCase& Case : Cases)
	{
		if (!Case.File.empty())
		{
			WriteAsset(Case.File, Case.Text);
		}
		ExpectFailure(StaticLoadObject(Case.Class, nullptr, Case.Path), Case.Path, Case.Reason);
	}
}

TEST_F(AssetLoadFailure, NoFileOrAFolderInItsPlace)
{
	const FString Expected = FString(ProjectDir.string()) + TEXT("/Content/Tests/M_Missing.uasset");
	ExpectFailure(LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Missing")), TEXT("/Game/Tests/M_Missing"), *(FString(TEXT("no file ")) + Expected));
	std::filesystem::create_directories(ProjectDir / "Content" / "Tests" / "M_Folder.uasset");
	ExpectFailure(LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Folder")), TEXT("/Game/Tests/M_Folder"), TEXT("no file "));
}

TEST_F(AssetLoadFailure, WrongClassRequestedOfALoadedAsset)
{
	WriteAsset("M_Base", BaseMaterial);
	ASSERT_NE(LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base")), nullptr);
	ExpectFailure(LoadAsset<UTexture>(TEXT("/Game/Tests/M_Base")), TEXT("/Game/Tests/M_Base"), TEXT("it is a Material, not a Texture"));
}

using AssetObjectReference = FAssetLoadingTest;

TEST_F(AssetObjectReference, PathLoadsTheReferencedAsset)
{
	WriteAsset("M_Base", BaseMaterial);
	WriteAsset("MI_Child", R"({ "Class": "/Script/Engine.MaterialInstanceConstant", "Properties": { "Parent": "/Game/Tests/M_Base.M_Base" } })");

	UMaterialInstanceConstant* Child = LoadAsset<UMaterialInstanceConstant>(TEXT("/Game/Tests/MI_Child"));
	ASSERT_NE(Child, nullptr);
	UMaterial* Base = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Base"));
	ASSERT_NE(Base, nullptr);
	EXPECT_EQ(Child->Parent, Base);
	EXPECT_EQ(Child->GetMaterial(), Base);
	EXPECT_TRUE(Warnings.Take().IsEmpty());
}

TEST_F(AssetObjectReference, NoneOrEmptyIsNoReference)
{
	WriteAsset("MI_None", R"({ "Class": "/Script/Engine.MaterialInstanceConstant", "Properties": { "Parent": "None" } })");
	WriteAsset("MI_Empty", R"({ "Class": "/Script/Engine.MaterialInstanceConstant", "Properties": { "Parent": "" } })");

	UMaterialInstanceConstant* None = LoadAsset<UMaterialInstanceConstant>(TEXT("/Game/Tests/MI_None"));
	UMaterialInstanceConstant* Empty = LoadAsset<UMaterialInstanceConstant>(TEXT("/Game/Tests/MI_Empty"));
	ASSERT_NE(None, nullptr);
	ASSERT_NE(Empty, nullptr);
	EXPECT_EQ(None->Parent, nullptr);
	EXPECT_EQ(Empty->Parent, nullptr);
	EXPECT_TRUE(Warnings.Take().IsEmpty());
}

TEST_F(AssetObjectReference, ReferenceThatDoesNotLoadIsLeftEmptyAndTheReferrerLoads)
{
	WriteAsset("M_Overlay", R"({ "Class": "/Script/Engine.Material", "Properties": { "OverlayTexture": "/Game/Tests/RT_Missing" } })");

	UMaterial* Material = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Overlay"));
	ASSERT_NE(Material, nullptr);
	EXPECT_EQ(Material->OverlayTexture, nullptr);
	const TArray<FString> Lines = Warnings.Take();
	ASSERT_EQ(Lines.Num(), 1);
	EXPECT_TRUE(Lines[0].StartsWith(TEXT("Warning: Failed to load '/Game/Tests/RT_Missing': no file"), ESearchCase::CaseSensitive))
		<< Lines[0].ToStdString();
}

TEST_F(AssetObjectReference, ReferenceToAnAssetOfAnotherClassIsLeftEmpty)
{
	WriteAsset("M_Base", BaseMaterial);
	WriteAsset("M_Overlay", R"({ "Class": "/Script/Engine.Material", "Properties": { "OverlayTexture": "/Game/Tests/M_Base" } })");

	UMaterial* Material = LoadAsset<UMaterial>(TEXT("/Game/Tests/M_Overlay"));
	ASSERT_NE(Material, nullptr);
	EXPECT_EQ(Material->OverlayTexture, nullptr);
	ExpectOneWarning(TEXT("/Game/Tests/M_Base"), TEXT("it is a Material, not a Texture"));
}

TEST_F(AssetObjectReference, AssetThatRefersToItselfLoadsWithoutTheReference)
{
	WriteAsset("MI_Loop", R"({ "Class": "/Script/Engine.MaterialInstanceConstant", "Properties": { "Parent": "/Game/Tests/MI_Loop" } })");

	UMaterialInstanceConstant* Loop = LoadAsset<UMaterialInstanceConstant>(TEXT("/Game/Tests/MI_Loop"));
	ASSERT_NE(Loop, nullptr);
	EXPECT_EQ(Loop->Parent, nullptr);
	ExpectOneWarning(TEXT("/Game/Tests/MI_Loop"), TEXT("refer back to itself"));
	EXPECT_EQ(LoadAsset<UMaterialInstanceConstant>(TEXT("/Game/Tests/MI_Loop")), Loop);
}
