// What passes the gate in front of the receive path: with a studio key only sealed
// datagrams, with an allow-list only the masters' commands, never a transform that is not
// finite; and everything turned away is counted and told once a second per sender.

#include "Admission/Gate.h"
#include "Codec/Report.h"
#include "Dispatch/ReceivePath.h"
#include "Ipv4Address.h"
#include "ServerTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
	using namespace quarn;
	using namespace quarn::codec;
	using namespace std::chrono_literals;
	using transport::Endpoint;
	using Clock = std::chrono::steady_clock;

	struct RecordingSink final : dispatch::ReceiveSink
	{
		void send(const Bytes& datagram, const Endpoint& to) override { sent.emplace_back(datagram, to); }
		void acknowledged(const Endpoint&, const Decoded&) override { ++acknowledgements; }
		void rejected(const Endpoint&, const Decoded&) override { ++rejects; }
		void receiptArrived(const Endpoint&, const Receipt&) override {}
		bool tracked(const DeliveryTicket&) override { return false; }
		void masterSilent(const Endpoint&) override {}
		void masterHeartbeat(const Endpoint&) override { ++heartbeatsTaken; }
		bool reportArrived(const Endpoint&, const EngineReport&) override
		{
			++reports;
			return bFromFollower;
		}
		bool timecodeAnswered(const Endpoint&, const Decoded&) override { return false; }
		void masterBack(const Endpoint&, std::chrono::milliseconds) override {}

		std::vector<std::pair<Bytes, Endpoint>> sent;
		int acknowledgements = 0;
		int rejects = 0;
		int heartbeatsTaken = 0;
		int reports = 0;
		// What the master's side says of the report's sender.
		bool bFromFollower = false;
	};

	std::shared_ptr<const StudioKey> keyOf(const std::string& secret)
	{
		return StudioKey::fromSecret(reinterpret_cast<const uint8_t*>(secret.data()), secret.size());
	}

	class Gatekeeping : public ::testing::Test
	{
	protected:
		void keyed(std::shared_ptr<const StudioKey> studioKey)
		{
			key = studioKey;
			gate.emplace(studioKey, counters, [this](const std::string& line) { lines.push_back(line); });
		}

		void receive(const Bytes& bytes, const Endpoint& from, Clock::time_point at)
		{
			gate->receive(bytes.data(), bytes.size(), from, self, at, [&](const uint8_t* data, std::size_t size) { path.handle(data, size, from); });
			path.flushAcknowledgements();
		}

		void receive(const Bytes& bytes, const Endpoint& from) { receive(bytes, from, start); }

		Bytes command(CommandKind kind, int32_t integer = 0)
		{
			Command value;
			value.kind = kind;
			value.integer = integer;
			Bytes bytes;
			encodeCommand(value, bytes);
			return bytes;
		}

		Bytes envelope(uint32_t sequence)
		{
			Bytes bytes;
			encodeEnvelope(77, sequence, 1, dispatch::wallMicros(), command(CommandKind::SelectCamera, static_cast<int32_t>(sequence)), bytes);
			return bytes;
		}

		Bytes seal(const Bytes& plain, const std::shared_ptr<const StudioKey>& with, uint64_t counter)
		{
			Bytes out;
			admission::Sealer::sealWith(*with, 1000, counter, plain.data(), plain.size(), self, out);
			return out;
		}

		const Endpoint master{0x7f000001, 10001};
		const Endpoint stranger{0x7f000009, 10001};
		const Endpoint self{0x7f000002, 10001};
		const Clock::time_point start = Clock::now();
		test::RecordingDelegate delegate;
		RecordingSink sink;
		dispatch::Counters counters;
		dispatch::ReceivePath path{delegate, sink, counters};
		std::shared_ptr<const StudioKey> key;
		std::optional<admission::Gate> gate;
		std::vector<std::string> lines;
	};

	TEST_F(Gatekeeping, WithAKeyAForgedDatagramFromTheMastersOwnAddressChangesNothing)
	{
		keyed(keyOf("the studio's key, thirty-two bytes long"));
		receive(seal(envelope(1), key, 1), master);
		ASSERT_EQ(delegate.calls().size(), 1u);
		const std::size_t answered = sink.sent.size();

		// Plain OSC, a new session under another key, and a replay of the real datagram.
		receive(command(CommandKind::StartRecord), master);
		Bytes hijack;
		encodeEnvelope(99, 1, 1, dispatch::wallMicros(), command(CommandKind::Stop), hijack);
		receive(seal(hijack, keyOf("a guess at the key, thirty-two bytes"), 2), master);
		receive(seal(envelope(1), key, 1), master);

		EXPECT_EQ(delegate.calls(), std::vector<std::string>{"selectCamera 1"});
		EXPECT_EQ(sink.sent.size(), answered) << "nothing is acknowledged for a forged datagram";
		EXPECT_EQ(counters.notAuthenticated.load(), 2u);
		EXPECT_EQ(counters.replayed.load(), 1u);

		// The real master's session carries on.
		receive(seal(envelope(2), key, 2), master);
		EXPECT_EQ(delegate.calls(), (std::vector<std::string>{"selectCamera 1", "selectCamera 2"}));
	}

	TEST_F(Gatekeeping, WithoutAKeyPlainOscIsTakenAndASealedDatagramIsNot)
	{
		keyed(nullptr);
		receive(command(CommandKind::Play), stranger);
		receive(seal(command(CommandKind::Stop), keyOf("somebody else's key, thirty-two bytes"), 1), stranger);
		EXPECT_EQ(delegate.calls(), std::vector<std::string>{"play"});
		EXPECT_EQ(counters.keyNotExpected.load(), 1u);
	}

	TEST_F(Gatekeeping, AnAllowListKeepsOutOtherHostsCommandsAndHeartbeatsButNotWhatAMasterIsAnswered)
	{
		keyed(nullptr);
		path.admitCommandsFrom({master.address});
		receive(command(CommandKind::StartRecord), stranger);
		receive(envelope(1), stranger);
		Bytes heartbeat;
		encodeHeartbeat(78, 1, 0, heartbeat);
		receive(heartbeat, stranger);
		Bytes request;
		encodeTimecodeRequest(request);
		receive(request, stranger);
		// This node's followers are not on its masters list; their answers still count.
		Bytes acknowledgement;
		encodeAcknowledgement(5, 1, 3, 64, 1, acknowledgement);
		receive(acknowledgement, stranger);
		Bytes reject;
		encodeReject(5, RejectReason::Unknown, 0, 3, reject);
		receive(reject, stranger);
		receive(command(CommandKind::Play), master);

		EXPECT_EQ(delegate.calls(), std::vector<std::string>{"play"});
		EXPECT_EQ(counters.notAllowed.load(), 3u);
		EXPECT_EQ(sink.acknowledgements, 1);
		EXPECT_EQ(sink.rejects, 1);
		EXPECT_EQ(sink.heartbeatsTaken, 0) << "a stranger's heartbeat must not draw this engine's report";
		ASSERT_EQ(sink.sent.size(), 1u) << "the timecode answer only; no acknowledgement for the stranger's envelope or heartbeat";
		EXPECT_EQ(decodeMessage(sink.sent[0].first.data(), sink.sent[0].first.size()).kind, MessageKind::TimecodeAnswer);
	}

	TEST_F(Gatekeeping, AMastersHeartbeatDrawsTheReportOnce)
	{
		keyed(nullptr);
		path.admitCommandsFrom({master.address});
		Bytes heartbeat;
		encodeHeartbeat(78, 1, 0, heartbeat);
		receive(heartbeat, master);

		EXPECT_EQ(sink.heartbeatsTaken, 1);
		EXPECT_EQ(counters.notAllowed.load(), 0u);
	}

	TEST_F(Gatekeeping, AReportCountsOnlyFromAFollowerAndOpensNoSession)
	{
		keyed(keyOf("the studio's key, thirty-two bytes long"));
		EngineReport engineReport;
		engineReport.role = "follower";
		engineReport.revision = 3;
		Bytes report;
		encodeReport(engineReport, report);
		receive(report, stranger);
		EXPECT_EQ(sink.reports, 0) << "an unsealed report never reaches the master's side";

		receive(seal(report, key, 1), stranger);
		sink.bFromFollower = true;
		receive(seal(report, key, 2), master);

		EXPECT_EQ(sink.reports, 2);
		EXPECT_EQ(counters.notAllowed.load(), 1u);
		EXPECT_EQ(counters.reportsReceived.load(), 1u);
		EXPECT_TRUE(sink.sent.empty()) << "a report earns no acknowledgement: it opened no session";
		EXPECT_TRUE(delegate.calls().empty());
	}

	TEST_F(Gatekeeping, ATransformThatIsNotFiniteNeverReachesTheEngine)
	{
		keyed(nullptr);
		for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()})
		{
			Bytes bytes;
			OscWriter writer(bytes);
			writer.begin("/quarn/custom/transform", "fffffffff");
			for (int i = 0; i < 9; ++i)
			{
				writer.float32(i == 4 ? bad : 1.f);
			}
			receive(bytes, master);
		}
		EXPECT_TRUE(delegate.calls().empty());
		EXPECT_EQ(counters.nonFinite.load(), 3u);
	}

	TEST_F(Gatekeeping, RejectionsAreToldAtMostOncePerSenderAndReasonASecond)
	{
		keyed(keyOf("the studio's key, thirty-two bytes long"));
		const Endpoint other{0x0a000009, 5000};
		for (int i = 0; i < 412; ++i)
		{
			receive(command(CommandKind::Play), other, start + std::chrono::milliseconds(i));
		}
		receive(command(CommandKind::Play), stranger, start);
		gate->flush(start + 900ms);
		EXPECT_TRUE(lines.empty()) << "nothing before the second is over";

		gate->flush(start + 1s);
		EXPECT_EQ(lines, (std::vector<std::string>{"dropped 412 datagrams from 10.0.0.9 in the last second: no valid studio key", "dropped 1 datagram from 127.0.0.9 in the last second: no valid studio key"}));
		gate->flush(start + 5s);
		EXPECT_EQ(lines.size(), 2u) << "a quiet sender is not told again";
		EXPECT_EQ(counters.notAuthenticated.load(), 413u);
	}

	TEST_F(Gatekeeping, WhatTheReceivePathRejectsIsToldWithItsReason)
	{
		keyed(nullptr);
		path.admitCommandsFrom({master.address});
		Bytes unknown;
		OscWriter(unknown).begin("/quarn/dance", "");
		receive(unknown, stranger);
		receive(command(CommandKind::Play), stranger);
		gate->flush(start + 1s);
		EXPECT_EQ(lines, (std::vector<std::string>{"dropped 1 datagram from 127.0.0.9 in the last second: not on the masters allow-list", "dropped 1 datagram from 127.0.0.9 in the last second: unknown OSC address"}));
	}

	TEST(Ipv4Addresses, OnlyFourDecimalOctetsOfAtMostThreeDigitsAreAnAddress)
	{
		EXPECT_EQ(parseIpv4("127.0.0.2"), 0x7f000002u);
		EXPECT_EQ(parseIpv4("010.000.000.002"), 0x0a000002u);
		EXPECT_EQ(ipv4Text(*parseIpv4("010.000.000.002")), "10.0.0.2");
		for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.", ".1.2.3", "1..2.3", "+1.2.3.4", "-1.2.3.4", " 1.2.3.4", "1.2.3.4 ", "1.2.3.256", "1.2.3.0004", "a.b.c.d", "1.2.3.4/8"})
		{
			EXPECT_EQ(parseIpv4(bad), std::nullopt) << "'" << bad << "'";
		}
	}
}
