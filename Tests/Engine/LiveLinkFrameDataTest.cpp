#include "EngineTestFixture.h"
#include "LiveLinkTypes.h"

class LiveLinkFrameData : public FObjectSystemTest
{
protected:
	static FLiveLinkTransformFrameData MakeTransformFrame(double X)
	{
		FLiveLinkTransformFrameData Frame;
		Frame.WorldTime = 12.5;
		Frame.Transform.SetLocation(FVector(X, 2.0, 3.0));
		return Frame;
	}
};

TEST_F(LiveLinkFrameData, CastAcceptsTheHeldStructAndItsBases)
{
	const FLiveLinkTransformFrameData Source = MakeTransformFrame(1.0);
	FLiveLinkFrameDataStruct Data;
	Data.InitializeWith(FLiveLinkTransformFrameData::StaticStruct(), &Source);

	ASSERT_NE(Data.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_EQ(Data.Cast<FLiveLinkTransformFrameData>()->Transform.GetTranslation().X, 1.0);
	ASSERT_NE(Data.Cast<FLiveLinkBaseFrameData>(), nullptr) << "a derived frame is a base frame too";
	EXPECT_EQ(Data.Cast<FLiveLinkBaseFrameData>()->WorldTime, 12.5);
	EXPECT_EQ(Data.GetStruct(), FLiveLinkTransformFrameData::StaticStruct());
}

TEST_F(LiveLinkFrameData, CastRejectsDerivedAndForeignStructs)
{
	FLiveLinkFrameDataStruct BaseFrame(FLiveLinkBaseFrameData::StaticStruct());
	FLiveLinkFrameDataStruct Foreign(FLiveLinkSubjectKey::StaticStruct());

	EXPECT_NE(BaseFrame.Cast<FLiveLinkBaseFrameData>(), nullptr);
	EXPECT_EQ(BaseFrame.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_NE(Foreign.Cast<FLiveLinkSubjectKey>(), nullptr);
	EXPECT_EQ(Foreign.Cast<FLiveLinkBaseFrameData>(), nullptr);
}

TEST_F(LiveLinkFrameData, EmptyOrResetDataCastsToNothing)
{
	FLiveLinkFrameDataStruct Data;
	EXPECT_EQ(Data.Cast<FLiveLinkBaseFrameData>(), nullptr);

	const FLiveLinkTransformFrameData Source = MakeTransformFrame(1.0);
	Data.InitializeWith(&Source);
	Data.Reset();
	EXPECT_FALSE(Data.IsValid());
	EXPECT_EQ(Data.GetStruct(), nullptr);
	EXPECT_EQ(Data.Cast<FLiveLinkBaseFrameData>(), nullptr);

	Data.InitializeWith(nullptr, &Source);
	EXPECT_FALSE(Data.IsValid());
}

TEST_F(LiveLinkFrameData, CopiesOwnTheirData)
{
	const FLiveLinkTransformFrameData Source = MakeTransformFrame(1.0);
	FLiveLinkFrameDataStruct Original;
	Original.InitializeWith(&Source);

	FLiveLinkFrameDataStruct Copy(Original);
	FLiveLinkFrameDataStruct Assigned;
	Assigned = Original;
	Original.Cast<FLiveLinkTransformFrameData>()->Transform.SetLocation(FVector(9.0, 9.0, 9.0));

	ASSERT_NE(Copy.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_EQ(Copy.Cast<FLiveLinkTransformFrameData>()->Transform.GetTranslation().X, 1.0);
	ASSERT_NE(Assigned.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_EQ(Assigned.Cast<FLiveLinkTransformFrameData>()->Transform.GetTranslation().X, 1.0);

	FLiveLinkFrameDataStruct Moved(std::move(Original));
	EXPECT_EQ(Moved.Cast<FLiveLinkTransformFrameData>()->Transform.GetTranslation().X, 9.0);
}

TEST_F(LiveLinkFrameData, SubjectNamesAndKeysCompareByNameIgnoringCase)
{
	const FGuid Source(1, 2, 3, 4);
	const FLiveLinkSubjectName Name(FName(TEXT("Camera1")));

	EXPECT_EQ(Name, FLiveLinkSubjectName(FName(TEXT("CAMERA1"))));
	EXPECT_EQ(FLiveLinkSubjectKey(Source, TEXT("camera1")), FLiveLinkSubjectKey(Source, TEXT("Camera1")));
	EXPECT_NE(FLiveLinkSubjectKey(Source, TEXT("Camera1")), FLiveLinkSubjectKey(FGuid(5, 6, 7, 8), TEXT("Camera1")));
	EXPECT_EQ(Name.ToString(), TEXT("Camera1"));
}

TEST_F(LiveLinkFrameData, SubjectNamesCompareWithPlainNames)
{
	const FLiveLinkSubjectName Name(FName(TEXT("Camera1")));
	const FName Plain(TEXT("camera1"));

	EXPECT_TRUE(Name == Plain);
	EXPECT_TRUE(Plain == Name);
	EXPECT_FALSE(Name != FName(TEXT("Camera1")));
	EXPECT_EQ(static_cast<FName>(Name), Plain);
}
