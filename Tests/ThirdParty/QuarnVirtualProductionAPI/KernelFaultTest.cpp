// The delivery guarantees when the kernel itself loses datagrams: each test moves its process
// into a network namespace of its own and has nftables drop UDP on loopback, so nothing in the
// library knows the faults are there.

#include "ServerNode.h"
#include "ServerTestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sched.h>
#include <gtest/gtest.h>

namespace
{
	using namespace quarn;
	using namespace quarn::test;

	class KernelFaults : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			if (geteuid() != 0)
			{
				GTEST_SKIP() << "a network namespace and nftables need root";
			}
			// Before any thread of this process exists, so every node's threads live in it too.
			if (unshare(CLONE_NEWNET) != 0)
			{
				GTEST_SKIP() << "no network namespace: " << std::strerror(errno);
			}
			ASSERT_EQ(shell("ip link set lo up"), 0);
			if (shell("nft add table inet faults") != 0)
			{
				GTEST_SKIP() << "nftables is not available";
			}
			ASSERT_EQ(shell("nft add chain inet faults out '{ type filter hook output priority 0; }'"), 0);
			port = freePort();
			ASSERT_NE(port, 0);
		}

		static int shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

		// Every datagram between the nodes, both ways, goes through this rule.
		bool drop(const std::string& match) { return shell("nft add rule inet faults out udp dport " + std::to_string(port) + " " + match + " drop") == 0; }
		bool heal() { return shell("nft flush chain inet faults out") == 0; }

		static ServerConfig boundTo(const char* address)
		{
			ServerConfig config;
			config.bindAddress = address;
			return config;
		}

		static std::vector<std::string> cameras(int first, int last)
		{
			std::vector<std::string> result;
			for (int index = first; index <= last; ++index)
			{
				result.push_back("selectCamera " + std::to_string(index));
			}
			return result;
		}

		uint16_t port = 0;
	};

	TEST_F(KernelFaults, TenThousandCommandsThroughTwentyPercentLossEachWayArriveOnceInOrderWithNoFalseDown)
	{
		ASSERT_TRUE(drop("numgen random mod 5 == 0"));
		RecordingDelegate masterDelegate;
		RecordingDelegate firstDelegate;
		RecordingDelegate secondDelegate;
		masterDelegate.setFollowers("127.0.0.2,127.0.0.3");
		RecordingObserver masterEvents;
		ServerNode master;
		ServerNode first;
		ServerNode second;
		master.setObserver(&masterEvents);
		ServerConfig masterConfig = boundTo("127.0.0.1");
		// A loaded two-core machine can stall a receive thread on top of five heartbeats lost
		// in a row; three seconds of silence is a follower that is really gone.
		masterConfig.reliability.silentAfter = std::chrono::milliseconds(3000);
		masterConfig.reliability.deadline = std::chrono::milliseconds(30000);
		master.setConfig(masterConfig);
		first.setConfig(boundTo("127.0.0.2"));
		second.setConfig(boundTo("127.0.0.3"));
		ASSERT_TRUE(first.start(&firstDelegate, port, port));
		ASSERT_TRUE(second.start(&secondDelegate, port, port));
		ASSERT_TRUE(master.start(&masterDelegate, port, port));

		constexpr int count = 10000;
		for (int index = 1; index <= count; ++index)
		{
			ASSERT_TRUE(master.broadcastSelectCamera(index));
		}
		for (RecordingDelegate* follower : {&firstDelegate, &secondDelegate})
		{
			ASSERT_TRUE(follower->waitForCalls(count, 60s)) << follower->calls().size();
			EXPECT_EQ(follower->calls(), cameras(1, count));
		}
		ASSERT_TRUE(master.waitUntilAcknowledged(30s));
		ASSERT_TRUE(master.waitUntilApplied(30s));
		const ServerStats stats = master.stats();
		EXPECT_GT(stats.retransmissions, 0u) << "the kernel dropped nothing";
		EXPECT_EQ(stats.commandsGivenUp, 0u);
		EXPECT_EQ(stats.commandsLost, 0u);
		EXPECT_TRUE(masterEvents.startingWith("down").empty());
		EXPECT_EQ(firstDelegate.calls().size(), static_cast<std::size_t>(count));
		EXPECT_EQ(secondDelegate.calls().size(), static_cast<std::size_t>(count));
	}

	TEST_F(KernelFaults, APartitionOfThreeSecondsIsDownWithinASecondUpOnHealAndEveryCommandAppliedLateOrLost)
	{
		RecordingDelegate masterDelegate;
		RecordingDelegate followerDelegate;
		masterDelegate.setFollowers("127.0.0.2");
		RecordingObserver masterEvents;
		RecordingObserver followerEvents;
		ServerNode master;
		ServerNode follower;
		master.setObserver(&masterEvents);
		follower.setObserver(&followerEvents);
		master.setConfig(boundTo("127.0.0.1"));
		follower.setConfig(boundTo("127.0.0.2"));
		ASSERT_TRUE(follower.start(&followerDelegate, port, port));
		ASSERT_TRUE(master.start(&masterDelegate, port, port));
		ASSERT_TRUE(master.broadcastSelectCamera(1));
		ASSERT_TRUE(master.waitUntilApplied(5s));

		ASSERT_TRUE(drop(""));
		const auto cutAt = std::chrono::steady_clock::now();
		std::optional<std::chrono::steady_clock::duration> downAfter;
		for (int index = 2; index <= 31; ++index)
		{
			ASSERT_TRUE(master.broadcastSelectCamera(index));
			std::this_thread::sleep_for(100ms);
			if (!downAfter && masterEvents.saw("down 127.0.0.2"))
			{
				downAfter = std::chrono::steady_clock::now() - cutAt;
			}
		}
		ASSERT_TRUE(downAfter.has_value());
		// One second of silence, counted from the last answer before the cut, plus a tick.
		EXPECT_LT(*downAfter, 2s);
		EXPECT_TRUE(followerEvents.saw("silent 127.0.0.1"));
		ASSERT_TRUE(heal());
		ASSERT_GE(std::chrono::steady_clock::now() - cutAt, 3s);

		ASSERT_TRUE(eventually([&] { return masterEvents.saw("up 127.0.0.2"); }));
		ASSERT_TRUE(eventually([&] { return followerEvents.saw("back 127.0.0.1"); }));
		ASSERT_TRUE(master.waitUntilApplied(10s));
		std::vector<std::string> expected = cameras(1, 1);
		for (uint64_t command = 2; command <= 31; ++command)
		{
			const std::vector<CommandFate> fates = master.fateOf(command);
			ASSERT_EQ(fates.size(), 1u);
			EXPECT_NE(fates[0].applied, fates[0].lost) << "command " << command;
			if (fates[0].applied)
			{
				EXPECT_GT(fates[0].receipt.lateness, 0us) << "command " << command;
				expected.push_back("selectCamera " + std::to_string(command));
			}
		}
		EXPECT_GT(expected.size(), 1u);
		EXPECT_EQ(followerDelegate.calls(), expected);
		EXPECT_EQ(masterEvents.startingWith("down").size(), 1u);
	}
}
