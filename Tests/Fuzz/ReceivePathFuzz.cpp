// Arbitrary datagrams through a node's receive path, with acknowledgements going on to a
// master's outbox. State is kept across inputs, so sequences of datagrams are explored too.
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
		const codec::MessageKind kind = codec::decodeMessage(datagram.data(), datagram.size()).kind;
		if (kind != codec::MessageKind::Acknowledgement && kind != codec::MessageKind::TimecodeAnswer)
		{
			__builtin_trap();
		}
	}

	struct Harness final : dispatch::ReceiveSink
	{
		Harness() : outbox(ReliabilityConfig{}, 7, 10001, counters, [](const codec::Bytes& datagram, const transport::Endpoint&) {
			if (!codec::isBundle(datagram.data(), datagram.size()))
			{
				__builtin_trap();
			}
		})
		{
			// Something in flight so acknowledgements have work to do.
			codec::Command command;
			command.kind = codec::CommandKind::SelectCamera;
			outbox.broadcast(command, {0x7f000001, 0x7f000002});
			outbox.broadcast(command, {0x7f000001});
		}

		void send(const codec::Bytes& datagram, const transport::Endpoint&) override { checkOwnOutput(datagram); }
		void acknowledged(const transport::Endpoint& from, uint32_t session, uint32_t sequence) override { outbox.acknowledged(from.address, session, sequence); }

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
	return 0;
}
