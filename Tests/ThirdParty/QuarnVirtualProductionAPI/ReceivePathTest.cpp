// What a node does with received datagrams, without sockets: ordering and duplicate
// suppression of numbered commands, which sessions it joins, plain best-effort delivery,
// answers, receipts and counting.

#include "Dispatch/ReceivePath.h"
#include "ServerTestSupport.h"

#include <limits>
#include <gtest/gtest.h>

namespace
{
	using namespace quarn;
	using namespace quarn::codec;
	using quarn::transport::Endpoint;

	struct RecordingSink final : dispatch::ReceiveSink
	{
		void send(const Bytes& datagram, const Endpoint& to) override { sent.emplace_back(datagram, to); }
		void acknowledged(const Endpoint& from, const Decoded& acknowledgement) override
		{
			acknowledgements.push_back({from.address, acknowledgement.session, acknowledgement.sequence, acknowledgement.instance});
		}
		void rejected(const Endpoint&, const Decoded&) override {}
		void receiptArrived(const Endpoint&, const Receipt&) override {}
		bool tracked(const DeliveryTicket& ticket) override
		{
			tickets.push_back(ticket);
			return bTracking;
		}
		void masterSilent(const Endpoint& from) override { silences.push_back(from.address); }
		void masterHeartbeat(const Endpoint&) override {}
		bool reportArrived(const Endpoint&, const EngineReport&) override { return true; }
		bool timecodeAnswered(const Endpoint&, const Decoded&) override { return false; }
		void masterBack(const Endpoint& from, std::chrono::milliseconds) override { returns.push_back(from.address); }

		// The messages of every datagram sent of this kind, bundles opened.
		std::vector<Decoded> sentOfKind(MessageKind kind) const
		{
			std::vector<Decoded> result;
			for (const auto& [bytes, to] : sent)
			{
				const auto take = [&](const uint8_t* data, std::size_t size) {
					const Decoded decoded = decodeMessage(data, size);
					if (decoded.kind == kind)
					{
						result.push_back(decoded);
					}
					return true;
				};
				if (isBundle(bytes.data(), bytes.size()))
				{
					forEachBundleElement(bytes.data(), bytes.size(), take);
				}
				else
				{
					take(bytes.data(), bytes.size());
				}
			}
			return result;
		}

		std::vector<std::pair<Bytes, Endpoint>> sent;
		std::vector<std::array<uint32_t, 4>> acknowledgements;
		std::vector<DeliveryTicket> tickets;
		std::vector<uint32_t> silences;
		std::vector<uint32_t> returns;
		bool bTracking = false;
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

		void envelope(uint32_t session, uint32_t sequence, uint32_t base, int32_t index, const Endpoint& from, int64_t sentMicros = dispatch::wallMicros())
		{
			Bytes bytes;
			encodeEnvelope(session, sequence, base, sentMicros, camera(index), bytes);
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
			const std::vector<Decoded> acknowledgements = sink.sentOfKind(MessageKind::Acknowledgement);
			if (acknowledgements.empty())
			{
				return std::nullopt;
			}
			return acknowledgements.back().sequence;
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

	TEST_F(ReceivedDatagrams, AFollowerRefusesToJoinASessionMidStreamAndTellsTheMaster)
	{
		// A restarted follower may already have raised 40 in its earlier run.
		envelope(41, 40);
		envelope(40, 40);
		EXPECT_TRUE(delegate.calls().empty());
		const std::vector<Decoded> rejects = sink.sentOfKind(MessageKind::Reject);
		ASSERT_EQ(rejects.size(), 1u) << "a flood earns one reject";
		EXPECT_EQ(rejects[0].session, 7u);
		EXPECT_EQ(rejects[0].reason, RejectReason::Unknown);
		EXPECT_EQ(rejects[0].instance, 1u);
	}

	TEST_F(ReceivedDatagrams, CommandsTheMasterGaveUpOnAreNeverRaised)
	{
		envelope(2, 1);
		envelope(3, 1);
		// The master gave up on 1 and 2 and reported them lost: 2 must not appear now.
		envelope(4, 3);
		EXPECT_EQ(delegate.calls(), cameras({3, 4}));
		EXPECT_EQ(lastAcknowledged(), 4u);
	}

	TEST_F(ReceivedDatagrams, ANewSessionRetiresTheOldOneWhoseMasterIsToldWhatWasDelivered)
	{
		envelope(7, 1, 1, 1, master);
		envelope(9, 1, 1, 100, master);
		envelope(7, 2, 1, 2, master);
		envelope(9, 2, 1, 101, master);
		EXPECT_EQ(delegate.calls(), cameras({1, 100, 101}));
		const std::vector<Decoded> rejects = sink.sentOfKind(MessageKind::Reject);
		ASSERT_EQ(rejects.size(), 1u);
		EXPECT_EQ(rejects[0].session, 7u);
		EXPECT_EQ(rejects[0].reason, RejectReason::Retired);
		EXPECT_EQ(rejects[0].sequence, 1u);
	}

	TEST_F(ReceivedDatagrams, AHeartbeatIsAnsweredWithAnAcknowledgementOfTheSession)
	{
		envelope(1, 1);
		Bytes heartbeat;
		encodeHeartbeat(7, 2, 0, heartbeat);
		sink.sent.clear();
		plain(heartbeat);
		path.flushAcknowledgements();
		const std::vector<Decoded> acknowledgements = sink.sentOfKind(MessageKind::Acknowledgement);
		ASSERT_EQ(acknowledgements.size(), 1u);
		EXPECT_EQ(acknowledgements[0].session, 7u);
		EXPECT_EQ(acknowledgements[0].sequence, 1u);
		EXPECT_EQ(acknowledgements[0].window, dispatch::ReceivePath::maxWaiting);
	}

	TEST_F(ReceivedDatagrams, EachRaisedCommandGetsAReceiptWithItsLateness)
	{
		envelope(7, 1, 1, 1, master, dispatch::wallMicros() - 250000);
		envelope(2, 1);
		path.flushAcknowledgements();
		const std::vector<Decoded> receipts = sink.sentOfKind(MessageKind::Receipt);
		ASSERT_EQ(receipts.size(), 2u);
		EXPECT_EQ(receipts[0].receipt.sequence, 1u);
		EXPECT_EQ(receipts[0].receipt.outcome, Outcome::Raised);
		EXPECT_GE(receipts[0].receipt.latenessMicros, 250000);
		EXPECT_LT(receipts[1].receipt.latenessMicros, 250000);
		EXPECT_EQ(counters.commandsLate.load(), 1u);
	}

	TEST_F(ReceivedDatagrams, ASendTimeFromTheFarPastOrFutureGivesASaturatedLateness)
	{
		envelope(7, 1, 1, 1, master, std::numeric_limits<int64_t>::min());
		envelope(7, 2, 1, 2, master, std::numeric_limits<int64_t>::max());
		path.flushAcknowledgements();
		const std::vector<Decoded> receipts = sink.sentOfKind(MessageKind::Receipt);
		ASSERT_EQ(receipts.size(), 2u);
		EXPECT_EQ(receipts[0].receipt.latenessMicros, std::numeric_limits<int64_t>::max());
		EXPECT_LT(receipts[1].receipt.latenessMicros, 0);
	}

	TEST_F(ReceivedDatagrams, AReceiptTheMasterMissedIsSentAgainWhenAHeartbeatAsksForIt)
	{
		envelope(1, 1);
		envelope(2, 1);
		path.flushAcknowledgements();
		sink.sent.clear();
		Bytes heartbeat;
		encodeHeartbeat(7, 3, 2, heartbeat);
		plain(heartbeat);
		path.flushAcknowledgements();
		const std::vector<Decoded> receipts = sink.sentOfKind(MessageKind::Receipt);
		ASSERT_EQ(receipts.size(), 1u);
		EXPECT_EQ(receipts[0].receipt.sequence, 2u);
		EXPECT_EQ(delegate.calls(), cameras({1, 2}));
	}

	TEST_F(ReceivedDatagrams, ATrackedCommandLeavesItsReceiptToTheTracker)
	{
		sink.bTracking = true;
		envelope(1, 1);
		path.flushAcknowledgements();
		EXPECT_TRUE(sink.sentOfKind(MessageKind::Receipt).empty());
		ASSERT_EQ(sink.tickets.size(), 1u);
		EXPECT_EQ(sink.tickets[0].session, 7u);
		EXPECT_EQ(sink.tickets[0].sequence, 1u);
		EXPECT_STREQ(sink.tickets[0].command, "/quarn/camera/select");
	}

	TEST_F(ReceivedDatagrams, ACommandLaterThanTheMaximumIsReportedStaleAndNotRaised)
	{
		dispatch::ReceivePath strict{delegate, sink, counters, dispatch::ReceiveSettings{1, std::chrono::milliseconds(1000), std::chrono::milliseconds(100)}};
		Bytes late;
		encodeEnvelope(7, 1, 1, dispatch::wallMicros() - 200000, camera(1), late);
		strict.handle(late.data(), late.size(), master);
		Bytes fresh;
		encodeEnvelope(7, 2, 1, dispatch::wallMicros(), camera(2), fresh);
		strict.handle(fresh.data(), fresh.size(), master);
		strict.flushAcknowledgements();
		EXPECT_EQ(delegate.calls(), cameras({2}));
		const std::vector<Decoded> receipts = sink.sentOfKind(MessageKind::Receipt);
		ASSERT_EQ(receipts.size(), 2u);
		EXPECT_EQ(receipts[0].receipt.outcome, Outcome::Stale);
		EXPECT_EQ(receipts[1].receipt.outcome, Outcome::Raised);
		EXPECT_EQ(counters.commandsStale.load(), 1u);
	}

	TEST_F(ReceivedDatagrams, ASilentMasterIsReportedOnceAndAgainWhenItReturns)
	{
		envelope(1, 1);
		path.checkSilence(dispatch::ReceivePath::Clock::now());
		EXPECT_TRUE(sink.silences.empty());
		path.checkSilence(dispatch::ReceivePath::Clock::now() + std::chrono::seconds(2));
		path.checkSilence(dispatch::ReceivePath::Clock::now() + std::chrono::seconds(3));
		EXPECT_EQ(sink.silences, std::vector<uint32_t>{master.address});
		envelope(2, 1);
		EXPECT_EQ(sink.returns, std::vector<uint32_t>{master.address});
	}

	TEST_F(ReceivedDatagrams, EachSenderIsNumberedOnItsOwn)
	{
		const Endpoint other{0x7f000009, 10001};
		envelope(7, 1, 1, 1, master);
		envelope(7, 1, 1, 2, other);
		EXPECT_EQ(delegate.calls(), cameras({1, 2}));
		path.flushAcknowledgements();
		EXPECT_EQ(sink.sentOfKind(MessageKind::Acknowledgement).size(), 2u);
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
		encodeAcknowledgement(7, 12, 99, 100, 14, acknowledgement);
		plain(acknowledgement);
		ASSERT_EQ(sink.acknowledgements.size(), 1u);
		EXPECT_EQ(sink.acknowledgements[0], (std::array<uint32_t, 4>{master.address, 7, 12, 99}));
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
		encodeEnvelope(7, 1, 1, dispatch::wallMicros(), wrong, bytes);
		path.handle(bytes.data(), bytes.size(), master);
		envelope(2, 1);
		EXPECT_EQ(delegate.calls(), cameras({2}));
		EXPECT_EQ(counters.wrongTypeTags.load(), 1u);
	}
}
