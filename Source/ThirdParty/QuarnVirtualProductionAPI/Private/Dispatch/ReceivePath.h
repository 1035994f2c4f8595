// Everything a node does with one received datagram, apart from the socket: classify it,
// put reliable commands back in order per sender, hand commands to the delegate, answer
// timecode requests and pass acknowledgements on. Runs on the receive thread only.

#pragma once

#include "Codec/Protocol.h"
#include "Dispatch/Counters.h"
#include "QuarnVirtualProductionServerDelegate.h"
#include "Transport/Endpoint.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quarn::dispatch
{
	class ReceiveSink
	{
	public:
		virtual void send(const codec::Bytes& datagram, const transport::Endpoint& to) = 0;
		virtual void acknowledged(const transport::Endpoint& from, uint32_t session, uint32_t sequence) = 0;

	protected:
		~ReceiveSink() = default;
	};

	class ReceivePath
	{
	public:
		// Senders tracked at once and commands held out of order per sender; beyond them
		// state is dropped and the master's retransmissions fill the gap.
		static constexpr std::size_t maxSenders = 256;
		static constexpr std::size_t maxWaiting = 8192;

		ReceivePath(QuarnVirtualProductionServerDelegate& delegate, ReceiveSink& sink, Counters& counters);

		void handle(const uint8_t* data, std::size_t size, const transport::Endpoint& from);
		// Commands, plain or numbered, are raised only from these addresses; empty: from any.
		void admitCommandsFrom(std::vector<uint32_t> masters) { allowedMasters = std::move(masters); }
		// One cumulative acknowledgement per sender that sent reliable commands since the last call.
		void flushAcknowledgements();

	private:
		struct SenderState
		{
			uint32_t session = 0;
			// Next command number to deliver; everything before it was delivered or skipped.
			uint32_t expected = 0;
			std::map<uint32_t, std::optional<codec::Command>, bool (*)(uint32_t, uint32_t)> waiting{&serialLess};
			// Sessions this sender ended; a late datagram of theirs must not reset the state.
			std::array<uint32_t, 8> retired = {};
			std::size_t nextRetired = 0;
			bool bAcknowledgementDue = false;
		};

		static bool serialLess(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

		void handleElement(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth);
		void handleBundle(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth);
		bool handleEnvelope(const codec::Decoded& sequence, const uint8_t* data, std::size_t size, const transport::Endpoint& from);
		void handlePlain(const codec::Decoded& message, const transport::Endpoint& from);
		// Counts a non-command outcome; returns the command when there is one.
		std::optional<codec::Command> commandOf(const codec::Decoded& message);
		SenderState* senderFor(const transport::Endpoint& from, uint32_t session, uint32_t base);
		void accept(SenderState& sender, uint32_t sequence, std::optional<codec::Command> command);
		void skipTo(SenderState& sender, uint32_t base);
		void drain(SenderState& sender);
		void deliver(const codec::Command& command);

		bool admits(const transport::Endpoint& from) const;

		static uint64_t keyOf(const transport::Endpoint& endpoint) { return (uint64_t(endpoint.address) << 16) | endpoint.port; }

		QuarnVirtualProductionServerDelegate& delegate;
		ReceiveSink& sink;
		Counters& counters;
		std::unordered_map<uint64_t, SenderState> senders;
		codec::Bytes scratch;
		std::vector<uint32_t> allowedMasters;
	};
}
