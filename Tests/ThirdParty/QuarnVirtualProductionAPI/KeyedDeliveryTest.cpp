// Servers with a studio key on loopback addresses of their own: the master's commands, its
// heartbeats and the follower's receipts, and a key holder's timecode request get through; a
// stranger's datagrams, without the key or with another, are counted and change nothing.

#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "ServerNode.h"
#include "ServerTestSupport.h"
#include "TimecodeClient.h"
#include "Transport/UdpSocket.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
	using namespace quarn;
	using namespace quarn::test;

	std::shared_ptr<const StudioKey> keyOf(const std::string& secret)
	{
		return StudioKey::fromSecret(reinterpret_cast<const uint8_t*>(secret.data()), secret.size());
	}

	const std::shared_ptr<const StudioKey> studioKey = keyOf("the studio's key, thirty-two bytes long");

	class KeyedServers : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			port = freePort();
			ASSERT_NE(port, 0);
		}

		bool startNode(ServerNode& node, RecordingDelegate& delegate, const char* address, std::shared_ptr<const StudioKey> key)
		{
			ServerConfig config;
			config.bindAddress = address;
			config.studioKey = std::move(key);
			node.setConfig(config);
			node.setLogHandler([this](const std::string& line) {
				std::lock_guard lock(linesMutex);
				lines.push_back(line);
			});
			return node.start(&delegate, port, port);
		}

		// What a stranger on 127.0.0.4 sends, straight from a socket of its own.
		void sendFromStranger(const codec::Bytes& datagram)
		{
			transport::UdpSocket socket;
			std::string error;
			ASSERT_TRUE(socket.open("127.0.0.4", 0, 64 * 1024, 64 * 1024, error)) << error;
			ASSERT_TRUE(socket.send(datagram.data(), datagram.size(), transport::Endpoint{0x7f000002, port}));
		}

		std::vector<std::string> logLines()
		{
			std::lock_guard lock(linesMutex);
			return lines;
		}

		uint16_t port = 0;
		RecordingDelegate masterDelegate;
		RecordingDelegate followerDelegate;
		// Before the nodes, which tell it until they stop.
		RecordingObserver masterEvents;
		ServerNode master;
		ServerNode follower;
		std::mutex linesMutex;
		std::vector<std::string> lines;
	};

	TEST_F(KeyedServers, AMasterWithTheKeyIsHeardAndAStrangerIsNot)
	{
		ASSERT_TRUE(startNode(follower, followerDelegate, "127.0.0.2", studioKey));
		ASSERT_TRUE(startNode(master, masterDelegate, "127.0.0.1", studioKey));
		masterDelegate.setFollowers("127.0.0.2");

		codec::Command play;
		play.kind = codec::CommandKind::Play;
		codec::Bytes plain;
		codec::encodeCommand(play, plain);
		sendFromStranger(plain);
		ASSERT_TRUE(eventually([&] { return follower.stats().notAuthenticated == 1; }));

		ASSERT_TRUE(master.broadcastSelectCamera(4));
		ASSERT_TRUE(master.waitUntilAcknowledged(5s));
		ASSERT_TRUE(followerDelegate.waitForCalls(1));
		EXPECT_EQ(followerDelegate.calls(), std::vector<std::string>{"selectCamera 4"});
		EXPECT_EQ(follower.stats().commandsDelivered, 1u);
		EXPECT_EQ(master.stats().notAuthenticated, 0u) << "the follower's acknowledgements carry the key too";
		ASSERT_TRUE(eventually([&] { return !logLines().empty(); }));
		EXPECT_EQ(logLines().front(), "dropped 1 datagram from 127.0.0.4 in the last second: no valid studio key");
	}

	TEST_F(KeyedServers, HeartbeatsAndReceiptsCarryTheKeyAndForgedOnesWithoutItChangeNothing)
	{
		master.setObserver(&masterEvents);
		// The follower's address, held by a bare socket until the follower starts.
		transport::UdpSocket followerSide;
		std::string error;
		ASSERT_TRUE(followerSide.open("127.0.0.2", port, 64 * 1024, 64 * 1024, error)) << error;
		ASSERT_TRUE(startNode(master, masterDelegate, "127.0.0.1", studioKey));
		masterDelegate.setFollowers("127.0.0.2");
		master.watchFollowers({"127.0.0.2"});

		std::optional<codec::Decoded> heartbeat;
		transport::ReceivedDatagram batch[transport::UdpSocket::batchSize];
		const auto giveUp = std::chrono::steady_clock::now() + 5s;
		while (!heartbeat && std::chrono::steady_clock::now() < giveUp)
		{
			if (!followerSide.wait(100ms))
			{
				continue;
			}
			const int count = followerSide.receiveBatch(batch);
			for (int i = 0; i < count && !heartbeat; ++i)
			{
				ASSERT_GT(batch[i].size, admission::trailerBytes);
				EXPECT_EQ(std::string(reinterpret_cast<const char*>(batch[i].data + batch[i].size - admission::trailerBytes), 4), "QSK1");
				const codec::Decoded decoded = codec::decodeMessage(batch[i].data, batch[i].size - admission::trailerBytes);
				if (decoded.kind == codec::MessageKind::Heartbeat)
				{
					heartbeat = decoded;
				}
			}
		}
		ASSERT_TRUE(heartbeat.has_value()) << "no heartbeat within 5 s";

		// A reject of the master's own session, as a stranger who watched the wire makes it.
		codec::Bytes reject;
		codec::encodeReject(heartbeat->session, codec::RejectReason::Unknown, 0, 77, reject);
		ASSERT_TRUE(followerSide.send(reject.data(), reject.size(), transport::Endpoint{0x7f000001, port}));
		ASSERT_TRUE(eventually([&] { return master.stats().notAuthenticated == 1; }));
		followerSide.close();

		ASSERT_TRUE(eventually([&] { return masterEvents.saw("down 127.0.0.2"); }));
		ASSERT_TRUE(startNode(follower, followerDelegate, "127.0.0.2", studioKey));
		ASSERT_TRUE(eventually([&] { return !masterEvents.startingWith("up").empty(); }));
		EXPECT_EQ(masterEvents.startingWith("up"), std::vector<std::string>{"up 127.0.0.2"}) << "the forged reject did not pass for the follower";

		ASSERT_TRUE(master.broadcastSelectCamera(4));
		ASSERT_TRUE(master.waitUntilApplied(5s));
		// The wait ends when the receipt is counted; the observer hears of it just after.
		ASSERT_TRUE(eventually([&] { return masterEvents.receipts().size() == 1u; })) << masterEvents.receipts().size() << " receipts";
		EXPECT_EQ(masterEvents.receipts().front().address, "127.0.0.2");
		EXPECT_EQ(masterEvents.receipts().front().command, 1u);

		// A heartbeat of another session from the master's address would retire the master's.
		codec::Bytes forged;
		codec::encodeHeartbeat(0x5eed, 1, 0, forged);
		if (!sendForged("127.0.0.1", port, "127.0.0.2", port, forged))
		{
			GTEST_SKIP() << "forging a source address needs a raw socket (root)";
		}
		ASSERT_TRUE(eventually([&] { return follower.stats().notAuthenticated == 1; }));
		ASSERT_TRUE(master.broadcastSelectCamera(5));
		ASSERT_TRUE(master.waitUntilApplied(5s));
		EXPECT_EQ(followerDelegate.calls(), (std::vector<std::string>{"selectCamera 4", "selectCamera 5"}));
		EXPECT_TRUE(eventually([&] { return masterEvents.receipts().size() == 2u; })) << masterEvents.receipts().size() << " receipts";
		EXPECT_TRUE(masterEvents.startingWith("restored").empty());
		EXPECT_TRUE(masterEvents.startingWith("lost").empty());
		EXPECT_EQ(follower.stats().sessionsRejected, 0u);
		EXPECT_EQ(master.stats().notAuthenticated, 1u) << "every acknowledgement, receipt and reject of the follower carries the key";
	}

	TEST_F(KeyedServers, AMasterRestartedAtOnceIsHeardAsItsNewRun)
	{
		ASSERT_TRUE(startNode(follower, followerDelegate, "127.0.0.2", studioKey));
		masterDelegate.setFollowers("127.0.0.2");
		for (int run = 0; run < 3; ++run)
		{
			ASSERT_TRUE(startNode(master, masterDelegate, "127.0.0.1", studioKey));
			ASSERT_TRUE(master.broadcastSelectLevel(run));
			ASSERT_TRUE(followerDelegate.waitForCalls(static_cast<std::size_t>(run + 1))) << "run " << run;
			master.stop();
		}
		EXPECT_EQ(followerDelegate.calls(), (std::vector<std::string>{"selectLevel 0", "selectLevel 1", "selectLevel 2"}));
		EXPECT_EQ(follower.stats().replayed, 0u);
	}

	TEST_F(KeyedServers, AMasterWithAnotherKeyCommandsNothing)
	{
		ASSERT_TRUE(startNode(follower, followerDelegate, "127.0.0.2", studioKey));
		ASSERT_TRUE(startNode(master, masterDelegate, "127.0.0.1", keyOf("a guess at the studio's key, 32 bytes")));
		masterDelegate.setFollowers("127.0.0.2");
		ASSERT_TRUE(master.broadcastStartRecord());
		ASSERT_TRUE(eventually([&] { return follower.stats().notAuthenticated >= 1; }));
		EXPECT_FALSE(master.waitUntilAcknowledged(100ms));
		EXPECT_TRUE(followerDelegate.calls().empty());
	}

	TEST_F(KeyedServers, OnlyAKeyHolderGetsTheTimecode)
	{
		ASSERT_TRUE(startNode(follower, followerDelegate, "127.0.0.2", studioKey));
		followerDelegate.setTimecode(Timecode(10, 0, 0, 24, FrameRate(25.f)));
		const auto answer = requestTimecode("127.0.0.2", port, 5s, "127.0.0.1", studioKey);
		ASSERT_TRUE(answer.has_value());
		EXPECT_EQ(answer->timecode.frames(), 24u);

		EXPECT_FALSE(requestTimecode("127.0.0.2", port, 200ms, "127.0.0.1").has_value());
		EXPECT_EQ(follower.stats().notAuthenticated, 1u);
		EXPECT_EQ(followerDelegate.timecodeCalls(), 1);
	}

	TEST_F(KeyedServers, ATransformThatIsNotFiniteIsRefusedWithALogLine)
	{
		ASSERT_TRUE(startNode(master, masterDelegate, "127.0.0.1", nullptr));
		masterDelegate.setFollowers("127.0.0.2");
		QuarnTransform<float> transform;
		transform[5] = std::numeric_limits<float>::quiet_NaN();
		EXPECT_FALSE(master.broadcastTriggerCustomTransform(transform));
		EXPECT_EQ(master.stats().commandsBroadcast, 0u);
		EXPECT_EQ(logLines(), std::vector<std::string>{"refused to broadcast a transform with NaN or infinity (value 6 of 9 is nan)"});
	}

	TEST_F(KeyedServers, StartRefusesAnAllowListEntryThatIsNotAnAddress)
	{
		ServerConfig config;
		config.bindAddress = "127.0.0.2";
		config.masters = {"127.0.0.1", "master.local"};
		follower.setConfig(config);
		EXPECT_FALSE(follower.start(&followerDelegate, port, port));
		EXPECT_EQ(follower.lastError(), "not an IPv4 address in the masters allow-list: master.local");
	}
}
