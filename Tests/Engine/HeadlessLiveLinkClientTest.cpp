#include "EngineTestFixture.h"
#include "Features/IModularFeatures.h"
#include "HeadlessLiveLinkClient.h"
#include "LiveLinkSourceSettings.h"
#include "LiveLinkSubjectSettings.h"
#include "Roles/LiveLinkCameraRole.h"
#include "Roles/LiveLinkTransformRole.h"

class HeadlessLiveLinkClient : public FObjectSystemTest
{
protected:
	void SetUp() override
	{
		FObjectSystemTest::SetUp();
		Client().Reset();
	}

	void TearDown() override
	{
		FHeadlessLiveLinkClient::Unregister();
		Client().Reset();
		FObjectSystemTest::TearDown();
	}

	static FHeadlessLiveLinkClient& Client() { return FHeadlessLiveLinkClient::Get(); }

	static FLiveLinkTransformFrameData MakeFrame(double X)
	{
		FLiveLinkTransformFrameData Frame;
		Frame.Transform.SetLocation(FVector(X, 0.0, 0.0));
		return Frame;
	}
};

TEST_F(HeadlessLiveLinkClient, SubjectListLeavesOutDisabledAndVirtualUnlessAsked)
{
	const FGuid Source = Client().AddSource(nullptr);
	const FLiveLinkSubjectKey Enabled(Source, TEXT("Enabled"));
	const FLiveLinkSubjectKey Disabled(Source, TEXT("Disabled"));
	const FLiveLinkSubjectKey Virtual(Source, TEXT("Virtual"));
	Client().AddSubject(Enabled, nullptr, ULiveLinkTransformRole::StaticClass());
	Client().AddSubject(Disabled, nullptr, ULiveLinkTransformRole::StaticClass(), false);
	Client().AddSubject(Virtual, nullptr, ULiveLinkTransformRole::StaticClass(), true, true);

	EXPECT_EQ(Client().GetSubjects(false, false), TArray<FLiveLinkSubjectKey>({Enabled}));
	EXPECT_EQ(Client().GetSubjects(true, false), TArray<FLiveLinkSubjectKey>({Enabled, Disabled}));
	EXPECT_EQ(Client().GetSubjects(false, true), TArray<FLiveLinkSubjectKey>({Enabled, Virtual}));
	EXPECT_EQ(Client().GetSubjects(true, true), TArray<FLiveLinkSubjectKey>({Enabled, Disabled, Virtual}));
}

TEST_F(HeadlessLiveLinkClient, SettingsAreLookedUpByTheFullKey)
{
	ULiveLinkSourceSettings* FirstSourceSettings = NewObject<ULiveLinkSourceSettings>();
	const FGuid First = Client().AddSource(FirstSourceSettings);
	const FGuid Second = Client().AddSource(nullptr);
	ULiveLinkSubjectSettings* FirstSettings = NewObject<ULiveLinkSubjectSettings>();
	ULiveLinkSubjectSettings* SecondSettings = NewObject<ULiveLinkSubjectSettings>();
	Client().AddSubject(FLiveLinkSubjectKey(First, TEXT("Camera")), FirstSettings, ULiveLinkCameraRole::StaticClass());
	Client().AddSubject(FLiveLinkSubjectKey(Second, TEXT("Camera")), SecondSettings, ULiveLinkCameraRole::StaticClass());

	EXPECT_EQ(Client().GetSubjectSettings(FLiveLinkSubjectKey(First, TEXT("Camera"))), FirstSettings);
	EXPECT_EQ(Client().GetSubjectSettings(FLiveLinkSubjectKey(Second, TEXT("camera"))), SecondSettings);
	EXPECT_EQ(Client().GetSubjectSettings(FLiveLinkSubjectKey(FGuid(1, 1, 1, 1), TEXT("Camera"))), nullptr);
	EXPECT_EQ(Client().GetSourceSettings(First), FirstSourceSettings);
	EXPECT_EQ(Client().GetSourceSettings(Second), nullptr);

	FirstSettings->MarkAsGarbage();
	CollectGarbage();
	EXPECT_EQ(Client().GetSubjectSettings(FLiveLinkSubjectKey(First, TEXT("Camera"))), nullptr);
}

TEST_F(HeadlessLiveLinkClient, PendingKillSourcesAreListedOnlyOnRequest)
{
	const FGuid Live = Client().AddSource(nullptr);
	const FGuid Dying = Client().AddSource(nullptr, true);

	EXPECT_EQ(Client().GetSources(), TArray<FGuid>({Live}));
	EXPECT_EQ(Client().GetSources(true), TArray<FGuid>({Live, Dying}));

	Client().AddSubject(FLiveLinkSubjectKey(Live, TEXT("Camera")), nullptr, ULiveLinkTransformRole::StaticClass());
	Client().RemoveSource(Live);
	EXPECT_EQ(Client().GetSources(true), TArray<FGuid>({Dying}));
	EXPECT_TRUE(Client().GetSubjects(true, true).IsEmpty());
}

TEST_F(HeadlessLiveLinkClient, EvaluationCopiesTheFrameOfTheEnabledSubject)
{
	const FGuid Source = Client().AddSource(nullptr);
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Camera")), nullptr, ULiveLinkCameraRole::StaticClass());
	const FLiveLinkTransformFrameData Frame = MakeFrame(4.0);
	Client().SetSubjectFrame(FName(TEXT("Camera")), FLiveLinkTransformFrameData::StaticStruct(), &Frame);

	FLiveLinkSubjectFrameData Out;
	ASSERT_TRUE(Client().EvaluateFrame_AnyThread(FName(TEXT("Camera")), ULiveLinkTransformRole::StaticClass(), Out));
	ASSERT_NE(Out.FrameData.Cast<FLiveLinkTransformFrameData>(), nullptr);
	EXPECT_EQ(Out.FrameData.Cast<FLiveLinkTransformFrameData>()->Transform.GetTranslation().X, 4.0);
	EXPECT_EQ(Client().GetSubjectRole_AnyThread(FName(TEXT("Camera"))).Get(), ULiveLinkCameraRole::StaticClass());

	Client().ClearSubjectFrame(FName(TEXT("Camera")));
	EXPECT_FALSE(Client().EvaluateFrame_AnyThread(FName(TEXT("Camera")), ULiveLinkTransformRole::StaticClass(), Out));
	EXPECT_FALSE(Out.FrameData.IsValid());
	EXPECT_EQ(Client().GetEvaluateCount(), 2);
}

TEST_F(HeadlessLiveLinkClient, EvaluationRefusesDisabledSubjectsAndForeignRoles)
{
	const FGuid Source = Client().AddSource(nullptr);
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Off")), nullptr, ULiveLinkCameraRole::StaticClass(), false);
	Client().AddSubject(FLiveLinkSubjectKey(Source, TEXT("Transform")), nullptr, ULiveLinkTransformRole::StaticClass());
	const FLiveLinkTransformFrameData Frame = MakeFrame(1.0);
	Client().SetSubjectFrame(FName(TEXT("Off")), FLiveLinkTransformFrameData::StaticStruct(), &Frame);
	Client().SetSubjectFrame(FName(TEXT("Transform")), FLiveLinkTransformFrameData::StaticStruct(), &Frame);

	FLiveLinkSubjectFrameData Out;
	EXPECT_FALSE(Client().EvaluateFrame_AnyThread(FName(TEXT("Off")), ULiveLinkCameraRole::StaticClass(), Out));
	EXPECT_EQ(Client().GetSubjectRole_AnyThread(FName(TEXT("Off"))).Get(), nullptr);
	EXPECT_FALSE(Client().EvaluateFrame_AnyThread(FName(TEXT("Transform")), ULiveLinkCameraRole::StaticClass(), Out));
	EXPECT_TRUE(Client().EvaluateFrame_AnyThread(FName(TEXT("Transform")), ULiveLinkTransformRole::StaticClass(), Out));
}

TEST_F(HeadlessLiveLinkClient, RegistrationMakesItTheModularFeature)
{
	IModularFeatures& Features = IModularFeatures::Get();
	EXPECT_EQ(Features.GetModularFeatureImplementation(ILiveLinkClient::ModularFeatureName, 0), nullptr);

	FHeadlessLiveLinkClient::Register();
	FHeadlessLiveLinkClient::Register();
	EXPECT_EQ(static_cast<ILiveLinkClient*>(Features.GetModularFeatureImplementation(TEXT("ModularFeature_LiveLinkClient"), 0)), &Client());
	EXPECT_EQ(Features.GetModularFeatureImplementation(ILiveLinkClient::ModularFeatureName, 1), nullptr) << "registered once";

	FHeadlessLiveLinkClient::Unregister();
	EXPECT_EQ(Features.GetModularFeatureImplementation(ILiveLinkClient::ModularFeatureName, 0), nullptr);
}
