// Arbitrary datagrams through a node's receive path, with acknowledgements, rejects and
// receipts going on to a master's outbox. State is kept across inputs, so sequences of
// datagrams are explored too.
// The first input byte picks one of four senders; the rest is the datagram.

#include "Codec/Protocol.h"
#include "Dispatch/Outbox.h"
#include "Dispatch/ReceivePath.h"
#include "QuietServerDelegate.h"

#include <cstddef>
#include <cstdint>

namespace
{
	using namespace quarn;

	class FixedTimecodeDelegate final : public QuietServerDelegate
	{
	public:
		Timecode getTimecode() override { return Timecode(1, 2, 3, 4, FrameRate(25.f)); }
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

	struct Harness final : dispatch::ReceiveSink
	{
		Harness() : outbox(ReliabilityConfig{}, 10001, counters, [](const codec::Bytes& datagram, const transport::Endpoint&) {
			// Envelopes are bundles; heartbeats are the master's only plain message.
			if (!codec::isBundle(datagram.data(), datagram.size()) && codec::decodeMessage(datagram.data(), datagram.size()).kind != codec::MessageKind::Heartbeat)
			{
				__builtin_trap();
			}
		}, nullptr, [] { return 7u; })
		{
			// Something in flight so acknowledgements have work to do.
			codec::Command command;
			command.kind = codec::CommandKind::SelectCamera;
			outbox.broadcast(command, {0x7f000001, 0x7f000002});
			outbox.broadcast(command, {0x7f000001});
		}

		void send(const codec::Bytes& datagram, const transport::Endpoint&) override { checkOwnOutput(datagram); }
		void acknowledged(const transport::Endpoint& from, const codec::Decoded& acknowledgement) override { outbox.acknowledged(from.address, acknowledgement); }
		void rejected(const transport::Endpoint& from, const codec::Decoded& reject) override { outbox.rejected(from.address, reject); }
		void receiptArrived(const transport::Endpoint& from, const codec::Receipt& receipt) override { outbox.receiptArrived(from.address, receipt); }
		// Every other command is left to a tracker, so both receipt paths are explored.
		bool tracked(const DeliveryTicket&) override { return (++deliveries & 1) == 0; }
		void masterSilent(const transport::Endpoint&) override {}
		void masterBack(const transport::Endpoint&, std::chrono::milliseconds) override {}

		uint64_t deliveries = 0;

		FixedTimecodeDelegate delegate;
		dispatch::Counters counters;
		dispatch::Outbox outbox;
		dispatch::ReceivePath path{delegate, *this, counters};
	};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
	static Harness harness;
	if (size == 0)
	{
		return 0;
	}
	const transport::Endpoint from{0x7f000001 + (data[0] & 3u), static_cast<uint16_t>(10001 + (data[0] >> 6))};
	harness.path.handle(data + 1, size - 1, from);
	harness.path.flushAcknowledgements();
	harness.path.checkSilence(std::chrono::steady_clock::now());
	// Heartbeats, retransmissions and deadlines against whatever the input acknowledged.
	harness.outbox.service(std::chrono::steady_clock::now());
	return 0;
}
