// What a node does with received datagrams, without sockets: ordering and duplicate
// suppression of numbered commands, plain best-effort delivery, answers and counting.

#include "Dispatch/ReceivePath.h"
#include "ServerTestSupport.h"

#include <gtest/gtest.h>

namespace
{
	using namespace quarn;
	using namespace quarn::codec;
	using quarn::transport::Endpoint;

	struct RecordingSink final : dispatch::ReceiveSink
	{
		void send(const Bytes& datagram, const Endpoint& to) override { sent.emplace_back(datagram, to); }
		void acknowledged(const Endpoint& from, uint32_t session, uint32_t sequence) override { acknowledgements.push_back({from.address, session, sequence}); }

		std::vector<std::pair<Bytes, Endpoint>> sent;
		std::vector<std::array<uint32_t, 3>> acknowledgements;
	};

	class ReceivedDatagrams : public ::testing::Test
	{
	protected:
		const Endpoint master{0x7f000001, 10001};

		Bytes camera(int32_t index)
		{
			Command command;
			command.kind = CommandKind::SelectCamera;
			command.integer = index;
			Bytes bytes;
			encodeCommand(command, bytes);
			return bytes;
		}

		void envelope(uint32_t session, uint32_t sequence, uint32_t base, int32_t index, const Endpoint& from)
		{
			Bytes bytes;
			encodeEnvelope(session, sequence, base, camera(index), bytes);
			path.handle(bytes.data(), bytes.size(), from);
		}

		void envelope(uint32_t sequence, uint32_t base)
		{
			envelope(7, sequence, base, static_cast<int32_t>(sequence), master);
		}

		void plain(const Bytes& bytes) { path.handle(bytes.data(), bytes.size(), master); }

		std::vector<std::string> cameras(std::initializer_list<int> indices)
		{
			std::vector<std::string> result;
			for (int index : indices)
			{
				result.push_back("selectCamera " + std::to_string(index));
			}
			return result;
		}

		// The last acknowledgement sent: the cumulative command number.
		std::optional<uint32_t> lastAcknowledged()
		{
			path.flushAcknowledgements();
			if (sink.sent.empty())
			{
				return std::nullopt;
			}
			const Bytes& bytes = sink.sent.back().first;
			const Decoded decoded = decodeMessage(bytes.data(), bytes.size());
			if (decoded.kind != MessageKind::Acknowledgement)
			{
				return std::nullopt;
			}
			return decoded.sequence;
		}

		test::RecordingDelegate delegate;
		RecordingSink sink;
		dispatch::Counters counters;
		dispatch::ReceivePath path{delegate, sink, counters};
	};

	TEST_F(ReceivedDatagrams, NumberedCommandsAreDeliveredOnceInOrderWhateverTheArrivalOrder)
	{
		envelope(3, 1);
		envelope(2, 1);
		EXPECT_TRUE(delegate.calls().empty());
		EXPECT_EQ(lastAcknowledged(), 0u);

		envelope(1, 1);
		envelope(2, 1);
		envelope(1, 1);
		envelope(4, 1);

		EXPECT_EQ(delegate.calls(), cameras({1, 2, 3, 4}));
		EXPECT_EQ(counters.duplicatesDropped.load(), 2u);
		EXPECT_EQ(lastAcknowledged(), 4u);
	}

	TEST_F(ReceivedDatagrams, AFollowerJoiningMidSessionStartsAtTheMastersOldestUnacknowledged)
	{
		envelope(41, 40);
		envelope(40, 40);
		EXPECT_EQ(delegate.calls(), cameras({40, 41}));
	}

	TEST_F(ReceivedDatagrams, CommandsTheMasterGaveUpOnAreNotWaitedFor)
	{
		envelope(2, 1);
		envelope(3, 1);
		// The master gave up on 1 and 2: what arrived of them still goes out, in order.
		envelope(4, 3);
		EXPECT_EQ(delegate.calls(), cameras({2, 3, 4}));
		EXPECT_EQ(lastAcknowledged(), 4u);
	}

	TEST_F(ReceivedDatagrams, ANewSessionRestartsNumberingAndALateOneFromTheOldSessionIsIgnored)
	{
		envelope(7, 5, 5, 5, master);
		envelope(9, 1, 1, 100, master);
		envelope(7, 6, 5, 6, master);
		envelope(9, 2, 1, 101, master);
		EXPECT_EQ(delegate.calls(), cameras({5, 100, 101}));
		EXPECT_EQ(counters.unexpected.load(), 1u);
	}

	TEST_F(ReceivedDatagrams, EachSenderIsNumberedOnItsOwn)
	{
		const Endpoint other{0x7f000009, 10001};
		envelope(7, 1, 1, 1, master);
		envelope(7, 1, 1, 2, other);
		EXPECT_EQ(delegate.calls(), cameras({1, 2}));
		path.flushAcknowledgements();
		ASSERT_EQ(sink.sent.size(), 2u);
	}

	TEST_F(ReceivedDatagrams, PlainMessagesAndPlainBundlesAreDeliveredAsTheyCome)
	{
		plain(camera(3));
		plain(camera(3));
		Bytes bundle;
		beginBundle(bundle);
		const Bytes first = camera(4);
		Bytes second;
		OscWriter(second).begin("/quarn/play", "");
		appendBundleElement(bundle, first.data(), first.size());
		appendBundleElement(bundle, second.data(), second.size());
		plain(bundle);

		std::vector<std::string> expected = cameras({3, 3, 4});
		expected.push_back("play");
		EXPECT_EQ(delegate.calls(), expected);
		EXPECT_EQ(lastAcknowledged(), std::nullopt);
	}

	TEST_F(ReceivedDatagrams, ATimecodeRequestIsAnsweredToItsSender)
	{
		delegate.setTimecode(Timecode(1, 2, 3, 4, FrameRate(29.97f)));
		Bytes request;
		encodeTimecodeRequest(request);
		const Endpoint tool{0x7f000001, 45678};
		path.handle(request.data(), request.size(), tool);

		ASSERT_EQ(sink.sent.size(), 1u);
		EXPECT_EQ(sink.sent[0].second, tool);
		const Decoded answer = decodeMessage(sink.sent[0].first.data(), sink.sent[0].first.size());
		ASSERT_EQ(answer.kind, MessageKind::TimecodeAnswer);
		EXPECT_EQ(answer.hours, 1u);
		EXPECT_EQ(answer.minutes, 2u);
		EXPECT_EQ(answer.seconds, 3u);
		EXPECT_EQ(answer.frames, 4u);
		EXPECT_FLOAT_EQ(answer.framesPerSecond, 29.97f);
		EXPECT_EQ(counters.timecodeRequestsAnswered.load(), 1u);
	}

	TEST_F(ReceivedDatagrams, AcknowledgementsArePassedOnWithTheirSender)
	{
		Bytes acknowledgement;
		encodeAcknowledgement(7, 12, acknowledgement);
		plain(acknowledgement);
		ASSERT_EQ(sink.acknowledgements.size(), 1u);
		EXPECT_EQ(sink.acknowledgements[0], (std::array<uint32_t, 3>{master.address, 7, 12}));
	}

	TEST_F(ReceivedDatagrams, EveryUnhandledDatagramIsCountedByWhatIsWrongAndFiresNothing)
	{
		Bytes unknown;
		OscWriter(unknown).begin("/quarn/dance", "");
		Bytes pattern;
		OscWriter(pattern).begin("/quarn/*", "");
		Bytes wrongTags;
		OscWriter(wrongTags).begin("/quarn/camera/select", "f").float32(1.f);
		const uint8_t garbage[] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 1, 2, 3};
		Bytes answer;
		encodeTimecodeAnswer(Timecode(FrameRate()), answer);

		plain(unknown);
		plain(pattern);
		plain(wrongTags);
		path.handle(garbage, sizeof(garbage), master);
		path.handle(garbage, 3, master);
		plain(answer);

		EXPECT_TRUE(delegate.calls().empty());
		EXPECT_EQ(counters.unknownAddress.load(), 1u);
		EXPECT_EQ(counters.addressPattern.load(), 1u);
		EXPECT_EQ(counters.wrongTypeTags.load(), 1u);
		EXPECT_EQ(counters.malformed.load(), 2u);
		EXPECT_EQ(counters.unexpected.load(), 1u);
		EXPECT_TRUE(sink.sent.empty());
	}

	TEST_F(ReceivedDatagrams, ABadCommandInsideAnEnvelopeKeepsItsNumberSoLaterOnesFlow)
	{
		Bytes wrong;
		OscWriter(wrong).begin("/quarn/camera/select", "s");
		Bytes bytes;
		encodeEnvelope(7, 1, 1, wrong, bytes);
		path.handle(bytes.data(), bytes.size(), master);
		envelope(2, 1);
		EXPECT_EQ(delegate.calls(), cameras({2}));
		EXPECT_EQ(counters.wrongTypeTags.load(), 1u);
	}
}
