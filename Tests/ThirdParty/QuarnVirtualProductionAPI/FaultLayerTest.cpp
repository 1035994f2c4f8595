// The seeded fault layer itself: reproducible, and each kind of fault does what it says.

#include "Transport/FaultInjector.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
	using namespace quarn;

	TEST(FaultLayer, TheSameSeedGivesTheSameFaults)
	{
		FaultConfig config;
		config.dropRate = 0.2;
		config.duplicateRate = 0.1;
		config.seed = 42;
		auto run = [&] {
			transport::FaultInjector faults(config);
			std::vector<uint8_t> fates;
			for (uint8_t i = 0; i < 200; ++i)
			{
				uint8_t copies = 0;
				faults.submit(&i, 1, transport::Endpoint{}, [&](const std::vector<uint8_t>&, const transport::Endpoint&) { ++copies; });
				fates.push_back(copies);
			}
			return fates;
		};
		const std::vector<uint8_t> fates = run();
		EXPECT_EQ(fates, run());
		const auto dropped = std::count(fates.begin(), fates.end(), 0);
		const auto doubled = std::count(fates.begin(), fates.end(), 2);
		EXPECT_GT(dropped, 20);
		EXPECT_LT(dropped, 60);
		EXPECT_GT(doubled, 5);
	}

	TEST(FaultLayer, AHeldBackDatagramGoesOutAfterTheNextOne)
	{
		FaultConfig config;
		config.reorderRate = 1.0;
		transport::FaultInjector faults(config);
		std::vector<uint8_t> order;
		auto emit = [&](const std::vector<uint8_t>& bytes, const transport::Endpoint&) { order.push_back(bytes[0]); };
		const uint8_t one = 1;
		const uint8_t two = 2;
		faults.submit(&one, 1, {}, emit);
		EXPECT_TRUE(order.empty());
		faults.submit(&two, 1, {}, emit);
		EXPECT_EQ(order, (std::vector<uint8_t>{2, 1}));
	}

	TEST(FaultLayer, ADelayedDatagramWaitsForItsTime)
	{
		FaultConfig config;
		config.delayRate = 1.0;
		config.maxDelay = std::chrono::microseconds(500);
		transport::FaultInjector faults(config);
		int emitted = 0;
		auto emit = [&](const std::vector<uint8_t>&, const transport::Endpoint&) { ++emitted; };
		const uint8_t datagram = 1;
		const auto submitted = transport::FaultInjector::Clock::now();
		faults.submit(&datagram, 1, {}, emit);
		EXPECT_EQ(emitted, 0);
		EXPECT_TRUE(faults.holding());
		faults.release(submitted - std::chrono::milliseconds(1), emit);
		EXPECT_EQ(emitted, 0);
		faults.release(submitted + std::chrono::milliseconds(5), emit);
		EXPECT_EQ(emitted, 1);
		EXPECT_FALSE(faults.holding());
	}

	TEST(FaultLayer, ADefaultConfigChangesNothing)
	{
		EXPECT_FALSE(FaultConfig{}.enabled());
	}
}
