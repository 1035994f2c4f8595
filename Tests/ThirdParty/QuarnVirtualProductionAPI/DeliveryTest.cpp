// Servers on loopback addresses of their own: a master on 127.0.0.1, followers on
// 127.0.0.2 and 127.0.0.3, all on one port picked per test.

#include "QuarnVirtualProductionServer.h"
#include "ServerNode.h"
#include "ServerTestSupport.h"
#include "TimecodeClient.h"
#include "Codec/Protocol.h"
#include "Transport/UdpSocket.h"

#include <gtest/gtest.h>
#include <lo/lo.h>

#include <atomic>
#include <functional>
#include <thread>

namespace
{
	using namespace quarn;
	using namespace quarn::test;

	ServerConfig boundTo(const char* address)
	{
		ServerConfig config;
		config.bindAddress = address;
		return config;
	}

	class ServerDelivery : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			port = freePort();
			ASSERT_NE(port, 0);
		}

		bool startNode(ServerNode& node, RecordingDelegate& delegate, ServerConfig config)
		{
			node.setConfig(config);
			return node.start(&delegate, port, port);
		}

		bool startAll(const ServerConfig& masterConfig = boundTo("127.0.0.1"))
		{
			masterDelegate.setFollowers("127.0.0.2,127.0.0.3");
			return startNode(master, masterDelegate, masterConfig) && startNode(first, firstDelegate, boundTo("127.0.0.2")) && startNode(second, secondDelegate, boundTo("127.0.0.3"));
		}

		uint16_t port = 0;
		RecordingDelegate masterDelegate;
		RecordingDelegate firstDelegate;
		RecordingDelegate secondDelegate;
		ServerNode master;
		ServerNode first;
		ServerNode second;
	};

	TEST_F(ServerDelivery, EveryCommandReachesBothFollowersOnceAndInOrder)
	{
		// A retransmit far beyond any acknowledgement's round trip, even under a sanitizer, so
		// a duplicate at a follower can only come from the sender sending twice.
		ServerConfig masterConfig = boundTo("127.0.0.1");
		masterConfig.reliability.retransmitInterval = 2s;
		masterConfig.reliability.deadline = 20s;
		ASSERT_TRUE(startAll(masterConfig));
		QuarnTransform<float> transform;
		const float values[9] = {100.f, 0.f, 0.f, 0.f, 0.f, 90.f, 1.f, 1.f, 1.f};
		std::copy(values, values + 9, transform.values);

		EXPECT_TRUE(master.broadcastPlay());
		EXPECT_TRUE(master.broadcastStop());
		EXPECT_TRUE(master.broadcastStartRecord());
		EXPECT_TRUE(master.broadcastStopRecord());
		EXPECT_TRUE(master.broadcastSelectCamera(2));
		EXPECT_TRUE(master.broadcastSelectCameraXR(-3));
		EXPECT_TRUE(master.broadcastSelectLevel(2147483647));
		EXPECT_TRUE(master.broadcastTriggerAnimation(static_cast<char>(-1)));
		EXPECT_TRUE(master.broadcastTriggerCustom(200));
		EXPECT_TRUE(master.broadcastTriggerCustomInt(-7));
		EXPECT_TRUE(master.broadcastTriggerCustomEight(0x8000000000000000ull));
		EXPECT_TRUE(master.broadcastTriggerCustomTransform(transform));

		const std::vector<std::string> expected = {
			"play",
			"stop",
			"startRecord",
			"stopRecord",
			"selectCamera 2",
			"selectCameraXR -3",
			"selectLevel 2147483647",
			"triggerAnimation -1",
			"triggerCustom 200",
			"triggerCustomInt -7",
			"triggerCustomEight 9223372036854775808",
			"triggerCustomTransform 100 0 0 0 0 90 1 1 1",
		};
		for (RecordingDelegate* follower : {&firstDelegate, &secondDelegate})
		{
			ASSERT_TRUE(follower->waitForCalls(expected.size()));
			EXPECT_EQ(follower->calls(), expected);
		}
		ASSERT_TRUE(master.waitUntilAcknowledged(5s));
		for (const FollowerState& state : master.followerStates())
		{
			EXPECT_EQ(state.acknowledged, expected.size()) << state.address;
			EXPECT_FALSE(state.down);
		}
		EXPECT_EQ(first.stats().duplicatesDropped + second.stats().duplicatesDropped, 0u);
		EXPECT_TRUE(masterDelegate.calls().empty());
	}

	TEST_F(ServerDelivery, BroadcastIsFalseWhenThereIsNobodyToSendTo)
	{
		ServerNode idle;
		EXPECT_FALSE(idle.broadcastPlay());

		ASSERT_TRUE(startNode(master, masterDelegate, boundTo("127.0.0.1")));
		masterDelegate.setFollowers(std::nullopt);
		EXPECT_FALSE(master.broadcastPlay());
		masterDelegate.setFollowers("");
		EXPECT_FALSE(master.broadcastPlay());
		masterDelegate.setFollowers("bad,1.2.3,256.0.0.1");
		EXPECT_FALSE(master.broadcastSelectCamera(1));
		masterDelegate.setFollowers("bad,127.0.0.2");
		EXPECT_TRUE(master.broadcastSelectCamera(1));
		EXPECT_EQ(master.stats().commandsBroadcast, 1u);
	}

	TEST_F(ServerDelivery, TheFollowerListIsAskedAtEveryBroadcast)
	{
		ASSERT_TRUE(startAll());
		masterDelegate.setFollowers("127.0.0.2");
		ASSERT_TRUE(master.broadcastSelectLevel(1));
		masterDelegate.setFollowers("127.0.0.3");
		ASSERT_TRUE(master.broadcastSelectLevel(2));
		ASSERT_TRUE(firstDelegate.waitForCalls(1));
		ASSERT_TRUE(secondDelegate.waitForCalls(1));
		ASSERT_TRUE(master.waitUntilAcknowledged(5s));
		EXPECT_EQ(firstDelegate.calls(), std::vector<std::string>{"selectLevel 1"});
		EXPECT_EQ(secondDelegate.calls(), std::vector<std::string>{"selectLevel 2"});
	}

	TEST_F(ServerDelivery, ATimecodeRequestIsAnsweredWithTheDelegatesTimecode)
	{
		firstDelegate.setTimecode(Timecode(10, 0, 0, 24, FrameRate(25.f)));
		ASSERT_TRUE(startNode(first, firstDelegate, boundTo("127.0.0.2")));

		const std::optional<TimecodeAnswer> answer = requestTimecode("127.0.0.2", port, 2000ms, "127.0.0.1");
		ASSERT_TRUE(answer);
		EXPECT_EQ(answer->timecode.hours(), 10u);
		EXPECT_EQ(answer->timecode.minutes(), 0u);
		EXPECT_EQ(answer->timecode.seconds(), 0u);
		EXPECT_EQ(answer->timecode.frames(), 24u);
		EXPECT_EQ(answer->timecode.rate().framesPerSecond(), 25.f);
		EXPECT_GT(answer->roundTrip.count(), 0);
		EXPECT_EQ(firstDelegate.timecodeCalls(), 1);
	}

	TEST_F(ServerDelivery, APlainMessageFromAnotherOscToolIsDeliveredAndJunkIsCounted)
	{
		ASSERT_TRUE(startNode(first, firstDelegate, boundTo("127.0.0.2")));
		const std::string portText = std::to_string(port);
		lo_address target = lo_address_new("127.0.0.2", portText.c_str());
		EXPECT_GT(lo_send(target, "/quarn/custom/int", "f", 1.f), 0);
		EXPECT_GT(lo_send(target, "/quarn/*", ""), 0);
		EXPECT_GT(lo_send(target, "/quarn/nothing", ""), 0);
		EXPECT_GT(lo_send(target, "/quarn/camera/select", "i", 7), 0);
		lo_address_free(target);

		ASSERT_TRUE(firstDelegate.waitForCalls(1));
		EXPECT_EQ(firstDelegate.calls(), std::vector<std::string>{"selectCamera 7"});
		// Datagrams on one socket from one sender arrive in order, so the counts are complete.
		const ServerStats stats = first.stats();
		EXPECT_EQ(stats.wrongTypeTags, 1u);
		EXPECT_EQ(stats.addressPattern, 1u);
		EXPECT_EQ(stats.unknownAddress, 1u);
	}

	TEST_F(ServerDelivery, StartFailsWhenThePortIsTakenAndStopFreesIt)
	{
		ServerNode other;
		RecordingDelegate otherDelegate;
		ASSERT_TRUE(startNode(first, firstDelegate, boundTo("127.0.0.2")));
		EXPECT_FALSE(startNode(other, otherDelegate, boundTo("127.0.0.2")));
		EXPECT_FALSE(other.isRunning());
		EXPECT_NE(other.lastError().find("cannot bind"), std::string::npos) << other.lastError();

		first.stop();
		EXPECT_FALSE(first.isRunning());
		EXPECT_TRUE(udpPortFree("127.0.0.2", port));
		EXPECT_TRUE(startNode(other, otherDelegate, boundTo("127.0.0.2")));
		EXPECT_EQ(other.boundPort(), port);
	}

	TEST_F(ServerDelivery, StartRefusesANullDelegateAndABadBindAddress)
	{
		EXPECT_FALSE(master.start(nullptr, port, port));
		EXPECT_FALSE(startNode(master, masterDelegate, boundTo("127.0.0.256")));
		EXPECT_FALSE(startNode(master, masterDelegate, boundTo("localhost")));
		EXPECT_FALSE(master.isRunning());
	}

	TEST_F(ServerDelivery, ABurstOfTenThousandPlainCommandsIsNotDroppedByTheKernel)
	{
		// Plain messages are never retransmitted, so every one must survive the receive queue.
		ASSERT_TRUE(startNode(first, firstDelegate, boundTo("127.0.0.2")));
		transport::UdpSocket sender;
		std::string error;
		ASSERT_TRUE(sender.open("127.0.0.1", 0, 1 << 20, 8 << 20, error)) << error;
		constexpr int burst = 10000;
		for (int i = 0; i < burst; ++i)
		{
			codec::Command command;
			command.kind = codec::CommandKind::SelectCamera;
			command.integer = i;
			codec::Bytes bytes;
			codec::encodeCommand(command, bytes);
			ASSERT_TRUE(sender.send(bytes.data(), bytes.size(), transport::Endpoint{0x7f000002, port}));
		}
		ASSERT_TRUE(firstDelegate.waitForCalls(burst, 10s)) << firstDelegate.calls().size() << " of " << burst;
		EXPECT_EQ(firstDelegate.calls().back(), "selectCamera 9999");
	}

	TEST_F(ServerDelivery, ASilentFollowerIsReportedDownItsCommandsLostAndItNeverHoldsUpTheOthers)
	{
		ServerConfig config = boundTo("127.0.0.1");
		// Long enough that a hundred broadcasts finish well inside it, even under a sanitizer.
		config.reliability.deadline = 1500ms;
		std::mutex mutex;
		std::vector<std::string> reported;
		master.setFollowerDownHandler([&](const std::string& address) {
			std::lock_guard lock(mutex);
			reported.push_back(address);
		});
		ASSERT_TRUE(startAll(config));
		// Listed out of address order: fates come back in the order they were sent.
		masterDelegate.setFollowers("127.0.0.4,127.0.0.2");

		const auto before = std::chrono::steady_clock::now();
		for (int i = 0; i < 100; ++i)
		{
			ASSERT_TRUE(master.broadcastSelectCamera(i));
		}
		const auto broadcasting = std::chrono::steady_clock::now() - before;
		ASSERT_TRUE(firstDelegate.waitForCalls(100));

		ASSERT_TRUE(eventually([&] {
			std::lock_guard lock(mutex);
			return !reported.empty();
		}));
		// Silence, not a command's deadline, makes a follower down.
		EXPECT_GE(std::chrono::steady_clock::now() - before, config.reliability.silentAfter);
		// Below the silence: the broadcasts did not wait for the missing follower.
		EXPECT_LT(broadcasting, config.reliability.silentAfter);
		{
			std::lock_guard lock(mutex);
			EXPECT_EQ(reported, std::vector<std::string>{"127.0.0.4"});
		}
		for (const FollowerState& state : master.followerStates())
		{
			EXPECT_EQ(state.down, state.address == "127.0.0.4") << state.address;
		}
		// Every command for the missing follower is given up at its deadline, and says so.
		EXPECT_TRUE(eventually([&] { return master.stats().commandsGivenUp == 100u; }));
		EXPECT_FALSE(master.waitUntilAcknowledged(0ms));
		const std::vector<CommandFate> fates = master.fateOf(1);
		ASSERT_EQ(fates.size(), 2u);
		EXPECT_EQ(fates[0].address, "127.0.0.4");
		EXPECT_TRUE(fates[0].lost);
		EXPECT_EQ(fates[1].address, "127.0.0.2");
		EXPECT_TRUE(fates[1].acknowledged);
		// The handler refers to this test's locals.
		master.stop();
		EXPECT_EQ(reported.size(), 1u);
	}

	TEST_F(ServerDelivery, ARestartedFollowerReceivesWhatIsSentAfterwards)
	{
		ASSERT_TRUE(startAll());
		ASSERT_TRUE(master.broadcastSelectCamera(1));
		ASSERT_TRUE(firstDelegate.waitForCalls(1));
		ASSERT_TRUE(master.waitUntilAcknowledged(5s));

		first.stop();
		RecordingDelegate restarted;
		ASSERT_TRUE(startNode(first, restarted, boundTo("127.0.0.2")));
		ASSERT_TRUE(master.broadcastSelectCamera(2));
		ASSERT_TRUE(master.broadcastSelectCamera(3));
		ASSERT_TRUE(restarted.waitForCalls(2));
		ASSERT_TRUE(master.waitUntilAcknowledged(5s));
		EXPECT_EQ(restarted.calls(), (std::vector<std::string>{"selectCamera 2", "selectCamera 3"}));
		EXPECT_EQ(secondDelegate.calls(), (std::vector<std::string>{"selectCamera 1", "selectCamera 2", "selectCamera 3"}));
	}

	TEST_F(ServerDelivery, TheProcessWideServerIsOneObject)
	{
		EXPECT_EQ(&QuarnVirtualProductionServer::instance(), &QuarnVirtualProductionServer::instance());
		QuarnVirtualProductionServer::instance().setConfig(boundTo("127.0.0.3"));
		ASSERT_TRUE(QuarnVirtualProductionServer::instance().start(&secondDelegate, port, port));
		EXPECT_EQ(QuarnVirtualProductionServer::instance().boundPort(), port);
		QuarnVirtualProductionServer::instance().stop();
		EXPECT_TRUE(udpPortFree("127.0.0.3", port));
	}

	TEST_F(ServerDelivery, TwoEnginesInOneProcessEachTalkThroughTheirOwnServer)
	{
		// Each engine's thread makes its own server current; instance() there is that server.
		QuarnVirtualProductionServer masterServer;
		QuarnVirtualProductionServer followerServer;
		masterDelegate.setFollowers("127.0.0.2");
		const auto engine = [this](QuarnVirtualProductionServer& own, RecordingDelegate& delegate, const char* address, QuarnVirtualProductionServer** seen) {
			const QuarnVirtualProductionServer::ScopedCurrent current(own);
			*seen = &QuarnVirtualProductionServer::instance();
			QuarnVirtualProductionServer::instance().setConfig(boundTo(address));
			EXPECT_TRUE(QuarnVirtualProductionServer::instance().start(&delegate, port, port));
		};
		QuarnVirtualProductionServer* seenByMaster = nullptr;
		QuarnVirtualProductionServer* seenByFollower = nullptr;
		std::thread masterThread(engine, std::ref(masterServer), std::ref(masterDelegate), "127.0.0.1", &seenByMaster);
		std::thread followerThread(engine, std::ref(followerServer), std::ref(firstDelegate), "127.0.0.2", &seenByFollower);
		masterThread.join();
		followerThread.join();
		EXPECT_EQ(seenByMaster, &masterServer);
		EXPECT_EQ(seenByFollower, &followerServer);
		EXPECT_NE(&QuarnVirtualProductionServer::instance(), &masterServer);

		ASSERT_TRUE(masterServer.broadcastSelectCamera(4));
		ASSERT_TRUE(firstDelegate.waitForCalls(1));
		EXPECT_EQ(firstDelegate.calls(), std::vector<std::string>{"selectCamera 4"});
		EXPECT_TRUE(masterServer.waitUntilApplied(5s));
		EXPECT_FALSE(QuarnVirtualProductionServer::instance().isRunning());
	}
}
