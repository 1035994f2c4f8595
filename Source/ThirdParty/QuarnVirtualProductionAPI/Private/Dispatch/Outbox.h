// The master's side of reliable delivery: a session per follower, commands numbered within
// it and kept until acknowledged, retransmitted on a timeout measured from round trips
// (RFC 6298) inside a congestion window that grows with acknowledgements and halves on loss,
// heartbeats, down and up, restarts and rejected sessions, and the receipts that say what
// each follower did with each command. Broadcasts add on the caller's thread;
// acknowledgements, rejects and receipts arrive on the receive thread; service() runs on
// the retransmission thread. One mutex guards the lot; events are reported outside it.

#pragma once

#include "Codec/Protocol.h"
#include "Dispatch/Counters.h"
#include "ServerConfig.h"
#include "ServerEvents.h"
#include "ServerStats.h"
#include "Transport/Endpoint.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quarn::dispatch
{
	class Outbox
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Send = std::function<void(const codec::Bytes&, const transport::Endpoint&)>;

		// Per follower: fates of this many recent commands are kept for fateOf().
		static constexpr std::size_t keptFates = 1u << 16;

		// `observer` may be null; `newSession` draws a fresh non-zero session number.
		Outbox(const ReliabilityConfig& config, uint16_t followerPort, Counters& counters, Send send, ServerObserver* observer = nullptr,
			std::function<uint32_t()> newSession = nullptr);

		// False when there is no follower to send to.
		bool broadcast(const codec::Command& command, const std::vector<uint32_t>& followers);
		// Followers to keep a heartbeat with before anything is broadcast to them.
		void watch(const std::vector<uint32_t>& followers);

		void acknowledged(uint32_t followerAddress, const codec::Decoded& acknowledgement);
		void rejected(uint32_t followerAddress, const codec::Decoded& reject);
		void receiptArrived(uint32_t followerAddress, const codec::Receipt& receipt);
		// Retransmits what is due, gives up what passed the deadline, sends heartbeats and
		// reports followers that went silent.
		void service(Clock::time_point now);

		std::vector<FollowerState> states() const;
		// The followers it keeps heartbeats with.
		std::vector<uint32_t> addresses() const;
		bool follows(uint32_t address) const;
		// The last command broadcast, 0 before the first.
		uint64_t lastCommand() const;
		std::vector<CommandFate> fateOf(uint64_t command) const;
		// True once every command broadcast so far was acknowledged by every follower it went
		// to; false at the timeout or as soon as one was given up unacknowledged.
		bool waitUntilAcknowledged(std::chrono::milliseconds timeout);
		// True once every acknowledged command has an applied receipt or was reported lost.
		bool waitUntilApplied(std::chrono::milliseconds timeout);

	private:
		struct Pending
		{
			uint64_t command = 0;
			uint32_t sequence = 0;
			std::shared_ptr<const codec::Bytes> message;
			int64_t sentMicros = 0;
			// Unset until the first transmission; the deadline counts from it.
			std::optional<Clock::time_point> firstSent;
			Clock::time_point lastSent;
			uint32_t transmissions = 0;
		};

		// A command sent in the follower's session that has no receipt yet.
		struct Tracked
		{
			uint64_t command = 0;
			bool bAcknowledged = false;
			Clock::time_point acknowledgedAt;
		};

		struct Fate
		{
			bool bSent = false;
			bool bAcknowledged = false;
			bool bLost = false;
			// Where this follower stood in the broadcast's list: fates are told in sending order.
			uint32_t sendPosition = 0;
			std::optional<AppliedReceipt> applied;
		};

		struct Follower
		{
			transport::Endpoint to;
			uint32_t session = 0;
			uint32_t nextSequence = 1;
			uint32_t acknowledged = 0;
			// The highest command the follower said it received; those below it and missing are lost.
			uint32_t highestReceived = 0;
			// The follower's run, from its acknowledgements; 0 until the first.
			uint32_t instance = 0;
			std::deque<Pending> pending;
			// The first `inFlight` entries of `pending` have been sent at least once.
			std::size_t inFlight = 0;
			std::unordered_map<uint64_t, Tracked> tracked;
			Clock::time_point lastHeard;
			Clock::time_point lastAcknowledgedAt;
			Clock::time_point nextHeartbeat;
			bool bDown = false;
			// Congestion control: window in commands, its threshold, what the follower can take.
			double window = 0;
			double threshold = 0;
			uint32_t receiverWindow = 0;
			// Losses of commands up to here belong to a decrease already made.
			uint32_t recoveryPoint = 0;
			// Round trips in microseconds.
			bool bMeasured = false;
			double smoothed = 0;
			double variation = 0;
			double timeout = 0;
			std::array<uint32_t, 512> samples = {};
			std::size_t sampleCount = 0;
			std::deque<Fate> fates;
			uint64_t firstFate = 0;
			uint64_t acknowledgedCount = 0;
			uint64_t appliedCount = 0;
			uint64_t lostCount = 0;
		};

		// Collected under the lock, reported after it.
		struct Event
		{
			enum class Kind
			{
				Down,
				Up,
				Lost,
				Restored,
				Applied,
			};
			Event(Kind eventKind, std::string eventAddress)
				: kind(eventKind)
				, address(std::move(eventAddress)) {}

			Kind kind = Kind::Down;
			std::string address;
			std::chrono::milliseconds duration{0};
			bool bRestarted = false;
			LossReason reason = LossReason::Deadline;
			std::vector<uint64_t> commands;
			uint32_t count = 0;
			AppliedReceipt receipt;
		};

		static uint64_t trackKey(uint32_t session, uint32_t sequence) { return (uint64_t(session) << 32) | sequence; }

		Follower& followerFor(uint32_t address, Clock::time_point now);
		uint32_t baseOf(const Follower& follower) const;
		// The oldest command of the session acknowledged a while ago whose receipt never came; 0 if none.
		uint32_t missingReceipts(const Follower& follower, Clock::time_point now) const;
		// How many pending commands from `first` on one envelope carries: consecutive numbers,
		// broadcast close together, within its size, at most `most`, each one `bWanted`.
		std::size_t packable(const Follower& follower, std::size_t first, std::size_t most, const std::function<bool(const Pending&)>& bWanted) const;
		// Sends pending commands [first, first + count) in one envelope.
		void transmit(Follower& follower, std::size_t first, std::size_t count, Clock::time_point now);
		void fillWindow(Follower& follower, Clock::time_point now);
		void measure(Follower& follower, Clock::duration roundTrip);
		Clock::duration timeoutFor(const Follower& follower, const Pending& pending) const;
		void heard(Follower& follower, Clock::time_point now, bool bRestarted, std::vector<Event>& events);
		void popAcknowledged(Follower& follower, uint32_t sequence, Clock::time_point now);
		// The follower lost this session: carry what it has not received into a new one.
		uint32_t renumber(Follower& follower, Clock::time_point now);
		// What a restarted follower acknowledged but never applied.
		void loseAcknowledged(Follower& follower, std::vector<Event>& events);
		void giveUp(Follower& follower, const Pending& pending, std::vector<uint64_t>& lost);
		Fate* fateFor(Follower& follower, uint64_t command);
		void report(std::vector<Event>& events);
		bool allAcknowledgedLocked() const;
		bool allAppliedLocked() const;
		void notifyLocked();
		// Bounds of the retransmission timeout, microseconds.
		double leastTimeout() const;
		double mostTimeout() const;

		const ReliabilityConfig config;
		const uint16_t port;
		Counters& counters;
		Send send;
		ServerObserver* const observer;
		std::function<uint32_t()> drawSession;
		mutable std::mutex mutex;
		std::condition_variable settled;
		std::map<uint32_t, Follower> followers;
		uint64_t commandCount = 0;
		bool bGaveUpUnacknowledged = false;
		codec::Bytes scratch;
		std::vector<const codec::Bytes*> packed;
	};
}
