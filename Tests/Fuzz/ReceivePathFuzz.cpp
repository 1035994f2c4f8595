// Arbitrary datagrams through a node's gate and receive path, with acknowledgements, rejects
// and receipts going on to a master's outbox. State is kept across inputs, so sequences of
// datagrams are explored too.
// The first input byte picks the sender (bits 0-1 the address, 6-7 the port) and the node
// (bits 2-3): 0 a node without a studio key; 1 a keyed node, datagram as given; 2 a keyed
// node, the datagram sealed with the studio's test key under one of two boot ids (bit 4) and
// the counter in the next two bytes, so the fuzzer gets past the code to the windows and the
// receive path; 3 a keyed node, sealed with another key. The rest is the datagram.

#include "Admission/Gate.h"
#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "Dispatch/Outbox.h"
#include "Dispatch/ReceivePath.h"
#include "QuietServerDelegate.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
	using namespace quarn;

	class CountingDelegate final : public QuietServerDelegate
	{
	public:
		void play() override { ++raised; }
		void stop() override { ++raised; }
		void startRecord() override { ++raised; }
		void stopRecord() override { ++raised; }
		void selectCamera(int32_t) override { ++raised; }
		void selectCameraXR(int32_t) override { ++raised; }
		void selectLevel(int32_t) override { ++raised; }
		void triggerAnimation(char) override { ++raised; }
		void triggerCustom(uint8_t) override { ++raised; }
		void triggerCustomEight(QuarnEightBytes) override { ++raised; }
		void triggerCustomTransform(QuarnTransform<float> value) override
		{
			for (float component : value.values)
			{
				if (component != component || component - component != 0.f)
				{
					__builtin_trap();
				}
			}
			++raised;
		}
		void triggerCustomInt(int32_t) override { ++raised; }
		Timecode getTimecode() override { return Timecode(1, 2, 3, 4, FrameRate(25.f)); }

		uint64_t raised = 0;
	};

	// Whatever the node sends back must be something it can read itself.
	void checkOwnOutput(const codec::Bytes& datagram)
	{
		if (codec::isBundle(datagram.data(), datagram.size()))
		{
			// Receipts travel in bundles of them.
			codec::forEachBundleElement(datagram.data(), datagram.size(), [](const uint8_t* element, std::size_t size) {
				if (codec::decodeMessage(element, size).kind != codec::MessageKind::Receipt)
				{
					__builtin_trap();
				}
				return true;
			});
			return;
		}
		const codec::MessageKind kind = codec::decodeMessage(datagram.data(), datagram.size()).kind;
		if (kind != codec::MessageKind::Acknowledgement && kind != codec::MessageKind::TimecodeAnswer && kind != codec::MessageKind::Reject)
		{
			__builtin_trap();
		}
	}

	std::shared_ptr<const StudioKey> keyOf(const char* secret)
	{
		return StudioKey::fromSecret(reinterpret_cast<const uint8_t*>(secret), std::strlen(secret));
	}

	struct Harness final : dispatch::ReceiveSink
	{
		explicit Harness(std::shared_ptr<const StudioKey> key)
			: outbox(
				ReliabilityConfig{}, 10001, counters,
				[](const codec::Bytes& datagram, const transport::Endpoint&) {
					// Envelopes are bundles; heartbeats are the master's only plain message.
					if (!codec::isBundle(datagram.data(), datagram.size()) && codec::decodeMessage(datagram.data(), datagram.size()).kind != codec::MessageKind::Heartbeat)
					{
						__builtin_trap();
					}
				},
				nullptr, [] { return 7u; })
			, gate(std::move(key), counters, nullptr)
		{
			// Something in flight so acknowledgements have work to do.
			codec::Command command;
			command.kind = codec::CommandKind::SelectCamera;
			outbox.broadcast(command, {0x7f000001, 0x7f000002});
			outbox.broadcast(command, {0x7f000001});
		}

		void send(const codec::Bytes& datagram, const transport::Endpoint&) override
		{
			checkOwnOutput(datagram);
			++answers;
		}
		void acknowledged(const transport::Endpoint& from, const codec::Decoded& acknowledgement) override
		{
			++heard;
			outbox.acknowledged(from.address, acknowledgement);
		}
		void rejected(const transport::Endpoint& from, const codec::Decoded& reject) override
		{
			++heard;
			outbox.rejected(from.address, reject);
		}
		void receiptArrived(const transport::Endpoint& from, const codec::Receipt& receipt) override
		{
			++heard;
			outbox.receiptArrived(from.address, receipt);
		}
		// Every other command is left to a tracker, so both receipt paths are explored.
		bool tracked(const DeliveryTicket&) override { return (++deliveries & 1) == 0; }
		void masterSilent(const transport::Endpoint&) override {}
		// The node answers a heartbeat with its report.
		void masterHeartbeat(const transport::Endpoint&) override { ++answers; }
		bool reportArrived(const transport::Endpoint& from, const EngineReport&) override
		{
			++heard;
			return outbox.follows(from.address);
		}
		bool timecodeAnswered(const transport::Endpoint&, const codec::Decoded&) override
		{
			++heard;
			return false;
		}
		void masterBack(const transport::Endpoint&, std::chrono::milliseconds) override { ++heard; }

		uint64_t deliveries = 0;
		// What reached the master's side or woke a silent master: acknowledgements, rejects, receipts,
		// reports and timecode answers.
		uint64_t heard = 0;

		void receive(const uint8_t* data, std::size_t size, const transport::Endpoint& from)
		{
			gate.receive(data, size, from, self, std::chrono::steady_clock::now(), [&](const uint8_t* payload, std::size_t payloadSize) { path.handle(payload, payloadSize, from); });
			path.flushAcknowledgements();
			const auto now = std::chrono::steady_clock::now();
			gate.flush(now);
			path.checkSilence(now);
			// Heartbeats, retransmissions and deadlines against whatever the input acknowledged.
			outbox.service(now);
		}

		CountingDelegate delegate;
		dispatch::Counters counters;
		dispatch::Outbox outbox;
		dispatch::ReceivePath path{delegate, *this, counters};
		admission::Gate gate;
		uint64_t answers = 0;
		const transport::Endpoint self{0x7f000005, 10001};
	};

	const char* const testKey = "the fuzz target's studio key, thirty-two bytes";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
	static Harness open(nullptr);
	static Harness keyed(keyOf(testKey));
	static const std::shared_ptr<const StudioKey> studioKey = keyOf(testKey);
	static const std::shared_ptr<const StudioKey> otherKey = keyOf("somebody else's key, thirty-two bytes");
	if (size == 0)
	{
		return 0;
	}
	const transport::Endpoint from{0x7f000001 + (data[0] & 3u), static_cast<uint16_t>(10001 + (data[0] >> 6))};
	const int mode = (data[0] >> 2) & 3;
	if (mode == 0)
	{
		open.receive(data + 1, size - 1, from);
		return 0;
	}
	const uint64_t raisedBefore = keyed.delegate.raised;
	const uint64_t answersBefore = keyed.answers;
	const uint64_t heardBefore = keyed.heard;
	if (mode == 1)
	{
		keyed.receive(data + 1, size - 1, from);
	}
	else if (size >= 3)
	{
		const uint64_t boot = 1000 + ((data[0] >> 4) & 1);
		const uint64_t counter = (uint64_t(data[1]) << 8) | data[2];
		codec::Bytes sealed;
		admission::Sealer::sealWith(mode == 2 ? *studioKey : *otherKey, boot, counter, data + 3, size - 3, keyed.self, sealed);
		keyed.receive(sealed.data(), sealed.size(), from);
	}
	// Only what carries the studio's key may raise a command, draw an answer or reach the outbox.
	if (mode != 2 && (keyed.delegate.raised != raisedBefore || keyed.answers != answersBefore || keyed.heard != heardBefore))
	{
		__builtin_trap();
	}
	return 0;
}
