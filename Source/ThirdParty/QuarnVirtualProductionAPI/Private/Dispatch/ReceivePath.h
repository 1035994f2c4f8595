// Everything a node does with one received datagram, apart from the socket: classify it,
// put reliable commands back in order per sender, hand commands to the delegate, answer
// timecode requests and heartbeats, refuse sessions it must not join, send receipts and
// pass acknowledgements, rejects and receipts on to the master's side. Runs on the receive
// thread only.

#pragma once

#include "Codec/Protocol.h"
#include "Dispatch/Counters.h"
#include "QuarnVirtualProductionServerDelegate.h"
#include "ServerEvents.h"
#include "Transport/Endpoint.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quarn::dispatch
{
	class ReceiveSink
	{
	public:
		virtual void send(const codec::Bytes& datagram, const transport::Endpoint& to) = 0;
		// Master side: an acknowledgement, a reject or a receipt from a follower.
		virtual void acknowledged(const transport::Endpoint& from, const codec::Decoded& acknowledgement) = 0;
		virtual void rejected(const transport::Endpoint& from, const codec::Decoded& reject) = 0;
		virtual void receiptArrived(const transport::Endpoint& from, const codec::Receipt& receipt) = 0;
		// Follower side: a reliable command went to the delegate. True when somebody else
		// reports what became of it; false has the receive path report it raised.
		virtual bool tracked(const DeliveryTicket& ticket) = 0;
		virtual void masterSilent(const transport::Endpoint& master) = 0;
		// Follower side: a master's heartbeat was taken; the owner sends its report along.
		virtual void masterHeartbeat(const transport::Endpoint& master) = 0;
		// Master side: a report, false when it came from a host that is not a follower. A
		// timecode answer: true when it answered this node's probe, false counts it unexpected.
		virtual bool reportArrived(const transport::Endpoint& from, const EngineReport& report) = 0;
		virtual bool timecodeAnswered(const transport::Endpoint& from, const codec::Decoded& answer) = 0;
		virtual void masterBack(const transport::Endpoint& master, std::chrono::milliseconds silentFor) = 0;

	protected:
		~ReceiveSink() = default;
	};

	struct ReceiveSettings
	{
		// This run of the node, sent in acknowledgements and rejects.
		uint32_t instance = 1;
		std::chrono::milliseconds silentAfter{1000};
		std::chrono::milliseconds maxLateness{0};
	};

	// Microseconds since the epoch on the wall clock: the one clock two engines share.
	int64_t wallMicros();

	class ReceivePath
	{
	public:
		using Clock = std::chrono::steady_clock;

		// Senders tracked at once and commands held out of order per sender; beyond them
		// state is dropped and the master's retransmissions fill the gap.
		static constexpr std::size_t maxSenders = 256;
		static constexpr std::size_t maxWaiting = 8192;
		// Receipts per datagram: a bundle of them stays well inside one Ethernet frame.
		static constexpr std::size_t receiptsPerDatagram = 16;

		ReceivePath(QuarnVirtualProductionServerDelegate& delegate, ReceiveSink& sink, Counters& counters, ReceiveSettings settings = {});

		void handle(const uint8_t* data, std::size_t size, const transport::Endpoint& from);
		// Commands, plain or numbered, are raised only from these addresses; empty: from any.
		// Acknowledgements, receipts, rejects, reports and timecode traffic open no session and
		// are let through from anyone; the master's side checks reports against its followers.
		void admitCommandsFrom(std::vector<uint32_t> masters) { allowedMasters = std::move(masters); }
		// One cumulative acknowledgement per sender that sent reliable traffic since the last
		// call, and the receipts gathered meanwhile.
		void flushAcknowledgements();
		// Reports masters that went silent; call now and then.
		void checkSilence(Clock::time_point now);

		// A receipt for a command that arrived from `ticket`, to send at once; it is kept so a
		// master that missed it can have it again. Any thread.
		void encodeReceiptFor(const DeliveryTicket& ticket, CommandOutcome outcome, uint32_t frame, const Timecode& timecode, codec::Bytes& out);

		// Receipts kept per master for sending again: as many as the master keeps fates for, so a
		// receipt lost early in a long burst is still there when the master asks (2.5 MiB each).
		static constexpr std::size_t keptReceipts = 65536;

	private:
		struct Waiting
		{
			std::optional<codec::Command> command;
			int64_t sentMicros = 0;
		};

		struct Retired
		{
			uint32_t session = 0;
			// The last command of it that was handed on.
			uint32_t delivered = 0;
		};

		struct SenderState
		{
			uint32_t session = 0;
			// Next command number to deliver; everything before it was delivered or skipped.
			uint32_t expected = 0;
			std::map<uint32_t, Waiting, bool (*)(uint32_t, uint32_t)> waiting{&serialLess};
			// Sessions this sender ended; a late datagram of theirs must not reset the state.
			std::array<Retired, 8> retired = {};
			std::size_t nextRetired = 0;
			bool bAcknowledgementDue = false;
			Clock::time_point lastHeard;
			bool bSilent = false;
		};

		struct Delivery
		{
			uint64_t key = 0;
			uint32_t session = 0;
			uint32_t sequence = 0;
			int64_t sentMicros = 0;
		};

		static bool serialLess(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

		void handleElement(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth);
		void handleBundle(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth);
		bool handleEnvelope(const codec::Decoded& sequence, const uint8_t* data, std::size_t size, const transport::Endpoint& from);
		void handlePlain(const codec::Decoded& message, const transport::Endpoint& from);
		void handleHeartbeat(const codec::Decoded& message, const transport::Endpoint& from);
		// Counts a non-command outcome; returns the command when there is one.
		std::optional<codec::Command> commandOf(const codec::Decoded& message);
		// The sender's state for `session`, or null after refusing it (and telling the sender).
		SenderState* senderFor(const transport::Endpoint& from, uint32_t session, uint32_t base);
		void reject(const transport::Endpoint& to, uint32_t session, codec::RejectReason reason, uint32_t delivered);
		void heard(SenderState& sender, const transport::Endpoint& from);
		void accept(SenderState& sender, uint64_t key, uint32_t sequence, std::optional<codec::Command> command, int64_t sentMicros);
		void skipTo(SenderState& sender, uint32_t base);
		void drain(SenderState& sender, uint64_t key);
		void deliverReliable(const codec::Command& command, const Delivery& delivery);
		void deliver(const codec::Command& command);
		void remember(uint64_t key, const codec::Receipt& receipt);
		void resendReceipts(uint64_t key, uint32_t session, uint32_t from);

		bool admits(const transport::Endpoint& from) const;

		static uint64_t keyOf(const transport::Endpoint& endpoint) { return (uint64_t(endpoint.address) << 16) | endpoint.port; }
		static transport::Endpoint endpointOf(uint64_t key) { return transport::Endpoint{static_cast<uint32_t>(key >> 16), static_cast<uint16_t>(key & 0xffff)}; }

		QuarnVirtualProductionServerDelegate& delegate;
		ReceiveSink& sink;
		Counters& counters;
		const ReceiveSettings settings;
		std::unordered_map<uint64_t, SenderState> senders;
		// When each address was last sent a reject; a flood of stale datagrams earns few.
		std::unordered_map<uint64_t, Clock::time_point> lastReject;
		std::vector<std::pair<uint64_t, codec::Receipt>> receipts;
		codec::Bytes scratch;
		std::vector<uint32_t> allowedMasters;
		// Receipts sent, per master, oldest first; the game thread adds to them too.
		std::mutex keptMutex;
		std::unordered_map<uint64_t, std::deque<codec::Receipt>> kept;
	};
}
