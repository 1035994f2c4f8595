#include "CameraCalibrationSubsystem.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "TrackingStudioFixture.h"

namespace
{
	const std::string TrackingRed = "Red: Tracking data is Red: Tracking data is required for lens distortion";
	const std::string GreenStatus = "Green: ";

	std::string NoLensData(const std::string& Receiver)
	{
		return "Yellow: No lens data (this may not be a fault) in the tracking frame: " + Receiver
			+ " is not receiving lens data. If you have a lens file, ensure it is selected in the Zentrels panel";
	}

	std::string NotReceived(const std::string& Subject)
	{
		return "Yellow: LiveLink subject " + Subject + " has lens data, but nothing in the scene is receiving";
	}

	std::string NotDistorting(const std::string& Subject, const std::string& Camera)
	{
		return "Yellow: Tracking frame has lens data but not distorting for subject " + Subject + " on camera " + Camera
			+ ". Make sure the Post-Process material is enabled on the Camera Component, and 'Apply Distortion' is checked on the Lens Distortion Component";
	}

	class LensVerdict : public FTrackingStudioTest
	{
	protected:
		/** A receiving camera for a healthy subject with lens data. */
		AQuarnCamera* AddTrackedCamera(FName Subject, FName ActorName, float LensDataLevel = 1.f)
		{
			AddQuarnSubject(Source, Subject, EQuarnTrackingStatus::OpticalGood, LensDataLevel);
			return AddCamera(ActorName, Subject);
		}

		static UMaterialInstanceDynamic* AddDistortion(AQuarnCamera* Camera, float Weight = 1.f, const TCHAR* ParentName = TEXT("M_QuarnDistortionPostProcess"))
		{
			UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(NewObject<UMaterial>(nullptr, nullptr, ParentName), Camera);
			Camera->CameraComponent->PostProcessSettings.AddBlendable(Instance, Weight);
			return Instance;
		}

		void SetUp() override
		{
			FTrackingStudioTest::SetUp();
			Source = AddQuarnSource();
		}

		FGuid Source;
	};

	class LensVerdictWithoutCalibration : public LensVerdict
	{
	protected:
		void BeforeBoot() override { UCameraCalibrationSubsystem::SetAvailable(false); }
	};
} // namespace

TEST_F(LensVerdict, TrackingRedStopsTheLegWhateverTheSnapshots)
{
	AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"), 0.f);
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(0);
	Evaluate();
	ASSERT_EQ(Subsystem->GetSnapshots().Num(), 1);
	EXPECT_EQ(Lens(), TrackingRed);

	UQuarnZentrelSubsystem::Get()->SetZentrelNum(1);
	UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(true);
	Evaluate();
	EXPECT_EQ(Tracking(), "Red: ");
	EXPECT_EQ(Lens(), TrackingRed) << "an empty Red tracking status stops the leg too";
}

TEST_F(LensVerdict, NothingReceivingNamesTheSubject)
{
	AddQuarnSubject(Source, TEXT("Cam"), EQuarnTrackingStatus::OpticalGood, 0.f);
	Evaluate();
	ASSERT_EQ(Subsystem->TrackingStatus.Color, FLinearColor::Yellow) << "a Yellow tracking status does not stop the leg";
	EXPECT_EQ(Lens(), NoLensData("Subject Cam"));

	SetFrame(TEXT("Cam"), EQuarnTrackingStatus::OpticalGood, 1.f);
	Evaluate();
	EXPECT_EQ(Lens(), NotReceived("Cam"));
}

TEST_F(LensVerdict, LensDataLevelOfExactlyOneCountsAsLensData)
{
	AQuarnCamera* Camera = AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"), 0.999f);
	AddDistortion(Camera);
	Evaluate();
	EXPECT_EQ(Lens(), NoLensData("StageCamera")) << "a received subject is named by its camera actor";

	SetFrame(TEXT("Cam"), EQuarnTrackingStatus::OpticalGood, 1.f);
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);

	SetFrame(TEXT("Cam"), EQuarnTrackingStatus::OpticalGood, 2.5f);
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);
}

TEST_F(LensVerdict, DistortionCountsOnlyAboveTheBlendWeightThreshold)
{
	AQuarnCamera* Camera = AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"));
	UMaterialInstanceDynamic* Distortion = AddDistortion(Camera, 0.999f);
	Evaluate();
	EXPECT_EQ(Lens(), NotDistorting("Cam", "StageCamera"));

	Camera->CameraComponent->PostProcessSettings.AddBlendable(Distortion, 1.f);
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);
}

TEST_F(LensVerdict, ParentMaterialNameIgnoresLetterCase)
{
	AQuarnCamera* Camera = AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"));
	AddDistortion(Camera, 1.f, TEXT("m_quarndistortionPOSTPROCESS"));
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);
}

TEST_F(LensVerdict, OnlyADynamicInstanceOfTheDistortionMaterialCounts)
{
	AQuarnCamera* Camera = AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"));
	UMaterial* Parent = NewObject<UMaterial>(nullptr, nullptr, TEXT("M_QuarnDistortionPostProcess"));
	UMaterialInstanceConstant* Constant = NewObject<UMaterialInstanceConstant>(Camera);
	Constant->Parent = Parent;
	FPostProcessSettings& PostProcess = Camera->CameraComponent->PostProcessSettings;
	PostProcess.AddBlendable(Parent, 1.f);
	PostProcess.AddBlendable(Constant, 1.f);
	PostProcess.WeightedBlendables.Array.Add(FWeightedBlendable(1.f, nullptr));
	PostProcess.AddBlendable(UMaterialInstanceDynamic::Create(nullptr, Camera), 1.f);
	AddDistortion(Camera, 1.f, TEXT("M_OtherPostProcess"));
	Evaluate();
	EXPECT_EQ(Lens(), NotDistorting("Cam", "StageCamera"));

	AddDistortion(Camera);
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus) << "the distortion blendable may come after others";
}

TEST_F(LensVerdict, FirstFailingRecordDecides)
{
	AQuarnCamera* First = AddTrackedCamera(TEXT("First"), TEXT("FirstCamera"));
	AddDistortion(First);
	AddTrackedCamera(TEXT("Second"), TEXT("SecondCamera"));
	AddTrackedCamera(TEXT("Third"), TEXT("ThirdCamera"), 0.f);
	Evaluate();
	EXPECT_EQ(Lens(), NotDistorting("Second", "SecondCamera"));
}

TEST_F(LensVerdict, CameraWithoutCineCameraIsSkipped)
{
	AQuarnCamera* Camera = AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"));
	Camera->RemoveComponent(Camera->CameraComponent);
	AddTrackedCamera(TEXT("Later"), TEXT("LaterCamera"));
	Evaluate();
	EXPECT_EQ(Lens(), NotDistorting("Later", "LaterCamera")) << "the record without a cine camera gives no verdict";

	SetFrame(TEXT("Later"), EQuarnTrackingStatus::OpticalGood, 1.f);
	Client().RemoveSource(Source);
	Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);
}

TEST_F(LensVerdict, NoSnapshotsWithTrackingNotRedIsGreen)
{
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("NoFrame")), NewObject<UQuarnLiveLinkSubjectSettings>(), ULiveLinkCameraRole::StaticClass());
	Evaluate();
	ASSERT_EQ(Subsystem->TrackingStatus.Color, FLinearColor::Yellow);
	ASSERT_TRUE(Subsystem->GetSnapshots().IsEmpty());
	EXPECT_EQ(Lens(), GreenStatus);
}

TEST_F(LensVerdictWithoutCalibration, MissingCalibrationSubsystemSkipsTheMaterialCheck)
{
	AddTrackedCamera(TEXT("Cam"), TEXT("StageCamera"));
	AddQuarnSubject(Source, TEXT("Unreceived"));
	Evaluate();
	EXPECT_EQ(Lens(), NotReceived("Unreceived")) << "lens data and receiver are still checked";

	Client().RemoveSource(Source);
	Source = AddQuarnSource();
	AddQuarnSubject(Source, TEXT("Cam"));
	Evaluate();
	EXPECT_EQ(Lens(), GreenStatus);
}
