// Exactly-once, in-order delivery when the network loses, repeats and reorders datagrams
// in both directions, through the seeded fault layer.

#include "ServerNode.h"
#include "ServerTestSupport.h"

#include <gtest/gtest.h>

namespace
{
	using namespace quarn;
	using namespace quarn::test;

	ServerConfig lossy(const char* address, uint64_t seed)
	{
		ServerConfig config;
		config.bindAddress = address;
		config.faults.dropRate = 0.2;
		config.faults.duplicateRate = 0.1;
		config.faults.reorderRate = 0.1;
		config.faults.delayRate = 0.05;
		config.faults.seed = seed;
		config.reliability.deadline = std::chrono::milliseconds(30000);
		// At 20% loss each way five heartbeats in a row go missing often enough over a run,
		// and a loaded machine stalls the receive thread; three seconds of silence is a
		// follower that is really gone.
		config.reliability.silentAfter = std::chrono::milliseconds(3000);
		return config;
	}

	TEST(LossyDelivery, TenThousandCommandsArriveExactlyOnceInOrderAtBothFollowers)
	{
		const uint16_t port = freePort();
		ASSERT_NE(port, 0);
		RecordingDelegate masterDelegate;
		RecordingDelegate firstDelegate;
		RecordingDelegate secondDelegate;
		masterDelegate.setFollowers("127.0.0.2,127.0.0.3");
		// Before the nodes, so it outlives them.
		RecordingObserver masterEvents;
		ServerNode master;
		ServerNode first;
		ServerNode second;
		master.setObserver(&masterEvents);
		master.setConfig(lossy("127.0.0.1", 1));
		first.setConfig(lossy("127.0.0.2", 2));
		second.setConfig(lossy("127.0.0.3", 3));
		ASSERT_TRUE(first.start(&firstDelegate, port, port));
		ASSERT_TRUE(second.start(&secondDelegate, port, port));
		ASSERT_TRUE(master.start(&masterDelegate, port, port));

		constexpr int count = 10000;
		for (int i = 0; i < count; ++i)
		{
			ASSERT_TRUE(master.broadcastSelectCamera(i));
		}
		std::vector<std::string> expected;
		for (int i = 0; i < count; ++i)
		{
			expected.push_back("selectCamera " + std::to_string(i));
		}
		for (RecordingDelegate* follower : {&firstDelegate, &secondDelegate})
		{
			ASSERT_TRUE(follower->waitForCalls(count, 60s)) << follower->calls().size();
			EXPECT_EQ(follower->calls(), expected);
		}
		ASSERT_TRUE(master.waitUntilAcknowledged(30s));
		EXPECT_EQ(firstDelegate.calls().size(), static_cast<std::size_t>(count));
		EXPECT_EQ(secondDelegate.calls().size(), static_cast<std::size_t>(count));

		// The faults were real: there was something to repair.
		const ServerStats masterStats = master.stats();
		EXPECT_GT(masterStats.retransmissions, 0u);
		EXPECT_EQ(masterStats.commandsGivenUp, 0u);
		// Lost heartbeats and acknowledgements are no silence: nobody was reported down.
		EXPECT_TRUE(masterEvents.startingWith("down").empty()) << masterEvents.events().size();
		EXPECT_TRUE(master.waitUntilApplied(30s));
		EXPECT_EQ(masterStats.commandsLost, 0u);
		EXPECT_GT(first.stats().duplicatesDropped, 0u);
		EXPECT_GT(second.stats().duplicatesDropped, 0u);
	}
}
