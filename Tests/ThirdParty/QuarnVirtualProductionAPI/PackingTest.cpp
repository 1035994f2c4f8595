// How a master's burst travels, without sockets: the master's outbox wired straight to a
// follower's receive path, every datagram counted on the way.

#include "Dispatch/Outbox.h"
#include "Dispatch/ReceivePath.h"
#include "ServerTestSupport.h"

#include <numeric>
#include <thread>
#include <gtest/gtest.h>

namespace
{
	using namespace quarn;
	using namespace quarn::codec;
	using quarn::transport::Endpoint;

	constexpr uint32_t masterAddress = 0x7f000001;
	constexpr uint32_t followerAddress = 0x7f000002;

	// The follower's answers, kept until the test hands them to the master.
	struct AnswerSink final : dispatch::ReceiveSink
	{
		void send(const Bytes& datagram, const Endpoint&) override { answers.push_back(datagram); }
		void acknowledged(const Endpoint&, const Decoded&) override {}
		void rejected(const Endpoint&, const Decoded&) override {}
		void receiptArrived(const Endpoint&, const Receipt&) override {}
		bool tracked(const DeliveryTicket&) override { return false; }
		void masterSilent(const Endpoint&) override {}
		void masterHeartbeat(const Endpoint&) override {}
		bool reportArrived(const Endpoint&, const EngineReport&) override { return false; }
		bool timecodeAnswered(const Endpoint&, const Decoded&) override { return false; }
		void masterBack(const Endpoint&, std::chrono::milliseconds) override {}

		std::vector<Bytes> answers;
	};

	class PackedBursts : public ::testing::Test
	{
	protected:
		// Commands of each envelope the master sent since the last call, in sending order.
		std::vector<std::size_t> envelopesInFlight()
		{
			std::vector<std::size_t> sizes;
			for (const Bytes& datagram : wire)
			{
				if (!isBundle(datagram.data(), datagram.size()))
				{
					continue;
				}
				std::size_t elements = 0;
				forEachBundleElement(datagram.data(), datagram.size(), [&](const uint8_t*, std::size_t) {
					++elements;
					return true;
				});
				sizes.push_back(elements - 1);
			}
			return sizes;
		}

		// Hands everything on the wire to the follower and its acknowledgements back.
		void deliver()
		{
			std::vector<Bytes> datagrams;
			datagrams.swap(wire);
			for (const Bytes& datagram : datagrams)
			{
				EXPECT_LE(datagram.size(), 1472u) << "more than one Ethernet frame";
				follower.handle(datagram.data(), datagram.size(), Endpoint{masterAddress, 10001});
			}
			follower.flushAcknowledgements();
			for (const Bytes& answer : sink.answers)
			{
				const Decoded decoded = decodeMessage(answer.data(), answer.size());
				if (decoded.kind == MessageKind::Acknowledgement)
				{
					outbox.acknowledged(followerAddress, decoded);
				}
			}
			sink.answers.clear();
		}

		void broadcastCameras(int32_t from, int32_t to)
		{
			for (int32_t index = from; index <= to; ++index)
			{
				Command command;
				command.kind = CommandKind::SelectCamera;
				command.integer = index;
				ASSERT_TRUE(outbox.broadcast(command, {followerAddress}));
			}
		}

		std::vector<std::string> cameras(int32_t from, int32_t to) const
		{
			std::vector<std::string> result;
			for (int32_t index = from; index <= to; ++index)
			{
				result.push_back("selectCamera " + std::to_string(index));
			}
			return result;
		}

		std::vector<Bytes> wire;
		dispatch::Counters counters;
		dispatch::Outbox outbox{ReliabilityConfig{}, 10001, counters, [this](const Bytes& bytes, const Endpoint&) { wire.push_back(bytes); }};
		test::RecordingDelegate delegate;
		AnswerSink sink;
		dispatch::Counters followerCounters;
		dispatch::ReceivePath follower{delegate, sink, followerCounters};
	};

	TEST_F(PackedBursts, ABurstGoesOneCommandADatagramUntilEightAreInFlightThenPackedAndArrivesOnceInOrder)
	{
		broadcastCameras(1, 2000);
		EXPECT_EQ(envelopesInFlight(), std::vector<std::size_t>(8, 1)) << "show traffic must not wait";
		std::size_t datagrams = 0;
		for (int round = 0; round < 100 && (!wire.empty() || counters.commandsAcknowledged.load() < 2000); ++round)
		{
			datagrams += wire.size();
			deliver();
		}
		EXPECT_EQ(delegate.calls(), cameras(1, 2000));
		EXPECT_EQ(counters.commandsAcknowledged.load(), 2000u);
		EXPECT_LT(datagrams, 2000u / 10);
		EXPECT_EQ(followerCounters.duplicatesDropped.load(), 0u);
	}

	TEST_F(PackedBursts, CommandsBroadcastMoreThanAMillisecondApartNeverShareAnEnvelope)
	{
		// Their shared send time is what the follower's receipt measures lateness from.
		broadcastCameras(1, 8);
		broadcastCameras(9, 13);
		std::this_thread::sleep_for(std::chrono::milliseconds(3));
		broadcastCameras(14, 18);
		EXPECT_EQ(envelopesInFlight(), std::vector<std::size_t>(8, 1));
		deliver();
		EXPECT_EQ(envelopesInFlight(), (std::vector<std::size_t>{5, 5}));
		deliver();
		EXPECT_EQ(delegate.calls(), cameras(1, 18));
	}

	TEST_F(PackedBursts, LostEnvelopesAreSentAgainPackedAndNothingIsRaisedTwice)
	{
		broadcastCameras(1, 300);
		deliver();
		// Everything the first acknowledgement let out is lost on the way.
		const std::vector<std::size_t> lost = envelopesInFlight();
		const std::size_t lostCommands = std::accumulate(lost.begin(), lost.end(), std::size_t(0));
		ASSERT_GT(lost.size(), 1u);
		ASSERT_LT(lost.size(), lostCommands);
		wire.clear();
		outbox.service(dispatch::Outbox::Clock::now() + std::chrono::seconds(1));
		EXPECT_EQ(counters.retransmissions.load(), lostCommands);
		EXPECT_EQ(envelopesInFlight(), lost);
		for (int round = 0; round < 100 && !wire.empty(); ++round)
		{
			deliver();
		}
		EXPECT_EQ(delegate.calls(), cameras(1, 300));
		EXPECT_EQ(counters.commandsAcknowledged.load(), 300u);
	}
}
