#include "LogCapture.h"
#include "Misc/App.h"
#include "QuarnEngineFixture.h"
#include "QuarnLiveSettings.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "QuarnVirtualProductionSettings.h"
#include "QuietServerDelegate.h"
#include "ServerNode.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <limits>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

struct FQuarnMultiEngineSubsystemTestAccess
{
	static bool Parse(UQuarnMultiEngineSubsystem& Subsystem, const TCHAR* Text, FString& Out)
	{
		FIPv4Address Address;
		const bool bParsed = Subsystem.ParseIPs(FString(Text), Address);
		Out = Address.ToString();
		return bParsed;
	}
};

namespace
{
	/** A master of its own, as another engine on the network would be. */
	using FTestMaster = QuietServerDelegate;

	class MultiEngine : public FQuarnEngineTest
	{
	protected:
		void BeforeBoot() override
		{
			std::filesystem::create_directories(ProjectDir / "Config");
			std::ofstream Ini(ProjectDir / "Config" / "DefaultGame.ini");
			Ini << "[/Script/QuarnLive.QuarnLiveSettings]\n";
			Ini << "bMultiEngineMaster=" << (bMaster ? "True" : "False") << "\n";
			Ini << "bDisableMultiEngine=" << (bDisabled ? "True" : "False") << "\n";
			// +Key adds only what is not there yet, so a repeated entry is written with .Key, as the engine writes it.
			std::vector<std::string> Written;
			for (const char* Follower : Followers)
			{
				const bool bRepeat = std::find(Written.begin(), Written.end(), Follower) != Written.end();
				Ini << (bRepeat ? ".OtherMultiEngineIps=" : "+OtherMultiEngineIps=") << Follower << "\n";
				Written.push_back(Follower);
			}
		}

		void SetUp() override
		{
			FQuarnEngineTest::SetUp();
			Subsystem = UQuarnMultiEngineSubsystem::Get();
			ASSERT_NE(Subsystem, nullptr);
			Subsystem->OnPlay().AddLambda([this] { Events.Add(TEXT("Play")); });
			Subsystem->OnStop().AddLambda([this] { Events.Add(TEXT("Stop")); });
			Subsystem->OnStartRecord().AddLambda([this] { Events.Add(TEXT("StartRecord")); });
			Subsystem->OnSelectCamera().AddLambda([this](int32 Index) { Events.Add(FString::Printf(TEXT("Camera %d"), Index)); });
			Subsystem->OnSelectCameraXR().AddLambda([this](int32 Index) { Events.Add(FString::Printf(TEXT("CameraXR %d"), Index)); });
			Subsystem->OnAnimationKey().AddLambda([this](uint8 Key) { Events.Add(FString::Printf(TEXT("Key %u"), Key)); });
			Subsystem->OnrReceiveCustomEight().AddLambda([this](FEightBytes Bytes) {
				Events.Add(FString::Printf(TEXT("Eight %u %u"), Bytes.byte1, Bytes.byte8));
			});
			Subsystem->OnrReceiveCustomTransform().AddLambda([this](FTransform Transform) {
				Events.Add(FString::Printf(TEXT("Transform %.0f %.0f"), Transform.GetLocation().X, Transform.Rotator().Yaw));
			});
		}

		/** Runs engine frames until Count events were raised or a second passes. */
		bool PumpUntil(int32 Count)
		{
			const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
			while (Events.Num() < Count && std::chrono::steady_clock::now() < Deadline)
			{
				FHeadlessEngineLoop::Tick(1.0 / 60.0);
				std::this_thread::yield();
			}
			FHeadlessEngineLoop::Tick(1.0 / 60.0);
			return Events.Num() >= Count;
		}

		bool bMaster = false;
		bool bDisabled = false;
		TArray<const char*> Followers;
		UQuarnMultiEngineSubsystem* Subsystem = nullptr;
		/** What the subsystem raised, Blueprint side and native side, in order. */
		TArray<FString> Events;
	};

	class MultiEngineMaster : public MultiEngine
	{
	protected:
		void BeforeBoot() override
		{
			bMaster = true;
			Followers = {"10.0.0.2", "10.0.0.3", "10.0.0.2", "bad", "10.0.0.3"};
			MultiEngine::BeforeBoot();
		}
	};

	class MultiEngineDisabled : public MultiEngine
	{
	protected:
		void BeforeBoot() override
		{
			bMaster = true;
			bDisabled = true;
			MultiEngine::BeforeBoot();
		}
	};

	class MultiEngineGameRun : public MultiEngine
	{
	protected:
		void BeforeBoot() override
		{
			bEditor = false;
			MultiEngine::BeforeBoot();
		}
	};
} // namespace

TEST_F(MultiEngine, FollowerRaisesCommandsFromTheNetworkOnceAndInOrder)
{
	ASSERT_TRUE(Subsystem->IsEnabled());
	ASSERT_FALSE(Subsystem->IsMaster());
	FTestMaster MasterDelegate(ProcessLoopbackAddress(1));
	quarn::ServerNode Master;
	quarn::ServerConfig Config;
	Config.bindAddress = ProcessLoopbackAddress(2);
	Master.setConfig(Config);
	ASSERT_TRUE(Master.start(&MasterDelegate, 10001, 10001)) << Master.lastError();

	EXPECT_TRUE(Master.broadcastPlay());
	EXPECT_TRUE(Master.broadcastSelectCamera(2));
	EXPECT_TRUE(Master.broadcastTriggerAnimation(static_cast<char>(-1)));
	EXPECT_TRUE(Master.broadcastTriggerCustomEight(0x8000000000000001ull));
	quarn::QuarnTransform<float> Transform;
	const float Values[9] = {100.f, 0.f, 0.f, 0.f, 0.f, 90.f, 1.f, 1.f, 1.f};
	for (int32 Index = 0; Index < 9; ++Index)
	{
		Transform[Index] = Values[Index];
	}
	EXPECT_TRUE(Master.broadcastTriggerCustomTransform(Transform));
	EXPECT_TRUE(Master.broadcastSelectCameraXR(4));
	ASSERT_TRUE(PumpUntil(6));
	Master.stop();
	EXPECT_EQ(Events, (TArray<FString>{TEXT("Play"), TEXT("Camera 2"), TEXT("Key 255"), TEXT("Eight 1 128"), TEXT("Transform 100 90"), TEXT("CameraXR 4")}));
}

TEST_F(MultiEngine, BlueprintListenersRunBeforeNativeOnes)
{
	FProperty* StopDelegate = UQuarnMultiEngineSubsystem::StaticClass()->FindPropertyByName(TEXT("StopDelegate"));
	ASSERT_NE(StopDelegate, nullptr);
	EXPECT_TRUE(StopDelegate->HasAnyPropertyFlags(CPF_BlueprintAssignable));
	EXPECT_TRUE(StopDelegate->GetMetaData(TEXT("DisplayName")).Equals(TEXT("On Stop"), ESearchCase::CaseSensitive));

	// The Blueprint side saves the master role; the native side looks whether that happened already.
	bool bBlueprintRanFirst = false;
	Subsystem->OnStop().AddLambda([&bBlueprintRanFirst] { bBlueprintRanFirst = UQuarnLiveSettings::Get()->bMultiEngineMaster; });
	StopDelegate->ContainerPtrToValuePtr<FOnStop>(Subsystem)->AddDynamic(Subsystem, &UQuarnMultiEngineSubsystem::OverrideIsMaster);
	Subsystem->stop();
	FHeadlessEngineLoop::Tick(0.0);
	EXPECT_TRUE(bBlueprintRanFirst);
}

TEST_F(MultiEngine, CommandRaisedAfterTheSubsystemIsGoneDoesNothing)
{
	Subsystem->startRecord();
	Subsystem->MarkAsGarbage();
	FHeadlessEngineLoop::Tick(0.0);
	EXPECT_TRUE(Events.IsEmpty());
}

TEST_F(MultiEngine, BroadcastsFailOnAFollowerWithoutTouchingTheServer)
{
	EXPECT_FALSE(Subsystem->BroadcastPlay());
	EXPECT_FALSE(Subsystem->BroadcastTriggerCustomInt(3));
	EXPECT_EQ(quarn::QuarnVirtualProductionServer::instance().stats().commandsBroadcast, 0u);
}

TEST_F(MultiEngine, FollowerReportsItsTimecodeHalvedForKindOne)
{
	// A follower whose server did not start answers nothing; say so rather than compare zeros.
	ASSERT_TRUE(Subsystem->IsEnabled());
	FLogCapture Capture;
	FApp::SetTimecode(FTimecode(10, 0, 0, 49, false));
	FApp::SetTimecodeFrameRate(FFrameRate(50, 1));
	GetMutableDefault<UQuarnVirtualProductionSettings>()->MediaFormatKind = 1;
	quarn::Timecode Halved = Subsystem->getTimecode();
	EXPECT_EQ(Halved.frames(), 24u);
	EXPECT_FLOAT_EQ(Halved.rate().framesPerSecond(), 25.f);
	EXPECT_EQ(Capture.Count(TEXT("LogQuarnLive"), TEXT("Sending timecode 10:00:00:24 @ 25 fps to Quarn Virtual Production Server")), 1);

	GetMutableDefault<UQuarnVirtualProductionSettings>()->MediaFormatKind = 0;
	FApp::SetTimecode(FTimecode(1, 2, 3, 4, true));
	FApp::SetTimecodeFrameRate(FFrameRate(30000, 1001));
	quarn::Timecode Drop = Subsystem->getTimecode();
	EXPECT_EQ(Drop.hours(), 1u);
	EXPECT_NEAR(Drop.rate().framesPerSecond(), 29.97f, 0.001f);
	EXPECT_EQ(Capture.Count(TEXT("LogQuarnLive"), TEXT("Sending timecode 01:02:03;04 @ 29.97 fps to Quarn Virtual Production Server")), 1);
}

TEST_F(MultiEngine, FollowerListIsNotHandedOutByAFollower)
{
	quarn::QuarnString Ips("unchanged");
	EXPECT_FALSE(Subsystem->getBroadcastIpsCSV(Ips));
	EXPECT_STREQ(Ips.c_str(), "unchanged");
}

TEST_F(MultiEngine, AddressesParseAsDottedOctets)
{
	FString Parsed;
	for (const TCHAR* Rejected : {TEXT("1.2.3"), TEXT("1.2.3.4.5"), TEXT("1.2.3."), TEXT("a.b.c.d"), TEXT(" 1.2.3.4"), TEXT("1..2.3")})
	{
		EXPECT_FALSE(FQuarnMultiEngineSubsystemTestAccess::Parse(*Subsystem, Rejected, Parsed)) << Rejected;
	}
	EXPECT_TRUE(FQuarnMultiEngineSubsystemTestAccess::Parse(*Subsystem, TEXT("+1.2.3.4"), Parsed));
	EXPECT_TRUE(Parsed.Equals(TEXT("1.2.3.4"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FQuarnMultiEngineSubsystemTestAccess::Parse(*Subsystem, TEXT("010.000.000.002"), Parsed));
	EXPECT_TRUE(Parsed.Equals(TEXT("10.0.0.2"), ESearchCase::CaseSensitive));
	// Out-of-range octets keep their low eight bits.
	EXPECT_TRUE(FQuarnMultiEngineSubsystemTestAccess::Parse(*Subsystem, TEXT("1.2.3.300"), Parsed));
	EXPECT_TRUE(Parsed.Equals(TEXT("1.2.3.44"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FQuarnMultiEngineSubsystemTestAccess::Parse(*Subsystem, TEXT("1.2.3.-1"), Parsed));
	EXPECT_TRUE(Parsed.Equals(TEXT("1.2.3.255"), ESearchCase::CaseSensitive));
}

TEST_F(MultiEngine, AddIPAddressStoresTheCanonicalFormOnce)
{
	Subsystem->AddIPAddress(TEXT("010.000.000.002"));
	Subsystem->AddIPAddress(TEXT("10.0.0.2"));
	Subsystem->AddIPAddress(TEXT("not an address"));
	EXPECT_EQ(UQuarnLiveSettings::Get()->OtherMultiEngineIps, (TArray<FString>{TEXT("10.0.0.2")}));
	// The settings are a default-config class: saved to the project's Default file, never per user.
	std::ifstream Ini(ProjectDir / "Config" / "DefaultGame.ini");
	const std::string Text((std::istreambuf_iterator<char>(Ini)), std::istreambuf_iterator<char>());
	EXPECT_NE(Text.find("+OtherMultiEngineIps=10.0.0.2"), std::string::npos);
	EXPECT_TRUE(Subsystem->GetFollowersIpAddresses().IsEmpty()) << "the subsystem follows at the next settings change";
}

TEST_F(MultiEngineMaster, MasterHandsOutValidatedFollowersAndDropsCommands)
{
	ASSERT_TRUE(Subsystem->IsMaster());
	EXPECT_EQ(Subsystem->GetFollowersIpAddresses().Num(), 5);
	quarn::QuarnString Ips;
	ASSERT_TRUE(Subsystem->getBroadcastIpsCSV(Ips));
	EXPECT_STREQ(Ips.c_str(), "10.0.0.2,10.0.0.3");

	Subsystem->play();
	Subsystem->selectCamera(1);
	FHeadlessEngineLoop::Tick(0.0);
	EXPECT_TRUE(Events.IsEmpty());

	const quarn::Timecode Default = Subsystem->getTimecode();
	EXPECT_EQ(Default.frames(), 0u);
	EXPECT_FLOAT_EQ(Default.rate().framesPerSecond(), quarn::FrameRate().framesPerSecond());
}

TEST_F(MultiEngineMaster, ATransformWithNaNGoesNowhereAndTheBroadcastSaysFalse)
{
	ASSERT_TRUE(Subsystem->IsEnabled());
	FTransform Broken;
	Broken.SetLocation(FVector(std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0));
	EXPECT_FALSE(Subsystem->BroadcastTriggerCustomTransform(Broken));
	EXPECT_EQ(quarn::QuarnVirtualProductionServer::instance().stats().commandsBroadcast, 0u);
}

TEST_F(MultiEngineMaster, OverrideIsMasterSavesWithoutChangingTheRole)
{
	UQuarnLiveSettings::Get()->bMultiEngineMaster = false;
	FHeadlessEngineLoop::Tick(0.0);
	Subsystem->OverrideIsMaster();
	EXPECT_TRUE(UQuarnLiveSettings::Get()->bMultiEngineMaster);
	EXPECT_TRUE(Subsystem->IsMaster());
}

TEST_F(MultiEngineDisabled, DisabledEngineNeitherStartsNorRaises)
{
	EXPECT_FALSE(Subsystem->IsEnabled());
	EXPECT_TRUE(Subsystem->IsMaster());
	EXPECT_FALSE(quarn::QuarnVirtualProductionServer::instance().isRunning());
	EXPECT_FALSE(Subsystem->BroadcastPlay());
	Subsystem->play();
	FHeadlessEngineLoop::Tick(0.0);
	EXPECT_TRUE(Events.IsEmpty());
}

TEST_F(MultiEngineGameRun, GameRunDropsPlayAndStopButRaisesTheRest)
{
	Subsystem->play();
	Subsystem->stop();
	Subsystem->startRecord();
	Subsystem->selectCamera(3);
	FHeadlessEngineLoop::Tick(0.0);
	EXPECT_EQ(Events, (TArray<FString>{TEXT("StartRecord"), TEXT("Camera 3")}));
}

TEST(MultiEnginePayloads, EightBytesPackLeastSignificantFirst)
{
	FEightBytes First;
	First.byte1 = 1;
	EXPECT_EQ(First.ToUInt64(), 1u);
	FEightBytes Last;
	Last.byte8 = 128;
	EXPECT_EQ(Last.ToUInt64(), 1ull << 63);
	const FEightBytes Received = FEightBytes::FromUInt64(0x0807060504030201ull);
	EXPECT_EQ(Received.byte1, 1);
	EXPECT_EQ(Received.byte4, 4);
	EXPECT_EQ(Received.byte8, 8);
}

TEST(MultiEnginePayloads, TransformTravelsAsLocationEulerAndScale)
{
	const FTransform Transform(FRotator(0.0, 90.0, 0.0), FVector(100.0, 0.0, 0.0));
	const quarn::QuarnTransform<float> Packed = UQuarnMultiEngineSubsystem::ConvertToQuarnTransformF(Transform);
	const float Expected[9] = {100.f, 0.f, 0.f, 0.f, 0.f, 90.f, 1.f, 1.f, 1.f};
	for (int32 Index = 0; Index < 9; ++Index)
	{
		EXPECT_NEAR(Packed[Index], Expected[Index], 1e-4f) << Index;
	}
	EXPECT_TRUE(UQuarnMultiEngineSubsystem::ConvertToFTransform(Packed).Equals(Transform, 1e-4));
}
