// The master's side of reliable delivery: numbers commands per follower within a session,
// keeps them until acknowledged, retransmits and gives up at the deadline. Broadcasts add
// on the caller's thread, acknowledgements arrive on the receive thread, service() runs on
// the retransmission thread; one mutex guards the lot.

#pragma once

#include "Codec/Protocol.h"
#include "Dispatch/Counters.h"
#include "ServerConfig.h"
#include "ServerStats.h"
#include "Transport/Endpoint.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quarn::dispatch
{
	class Outbox
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Send = std::function<void(const codec::Bytes&, const transport::Endpoint&)>;
		using FollowerDown = std::function<void(const std::string&)>;

		Outbox(const ReliabilityConfig& config, uint32_t session, uint16_t followerPort, Counters& counters, Send send);

		// False when there is no follower to send to.
		bool broadcast(const codec::Command& command, const std::vector<uint32_t>& followers);
		void acknowledged(uint32_t followerAddress, uint32_t session, uint32_t sequence);
		// Retransmits what is due and gives up what passed the deadline; reports followers
		// that went down through `down`, outside the lock.
		void service(Clock::time_point now, const FollowerDown& down);

		std::vector<FollowerState> states() const;
		bool waitUntilAcknowledged(std::chrono::milliseconds timeout);
		uint32_t session() const { return sessionId; }

	private:
		struct Pending
		{
			uint32_t sequence = 0;
			std::shared_ptr<const codec::Bytes> message;
			Clock::time_point queued;
			Clock::time_point lastSent;
		};

		struct Follower
		{
			transport::Endpoint to;
			uint32_t nextSequence = 1;
			uint32_t acknowledged = 0;
			std::deque<Pending> pending;
			// The first `inFlight` entries of `pending` have been sent at least once.
			std::size_t inFlight = 0;
			bool bDown = false;
		};

		void transmit(Follower& follower, Pending& pending, Clock::time_point now);
		void fillWindow(Follower& follower, Clock::time_point now);
		bool allAcknowledgedLocked() const;

		const ReliabilityConfig config;
		const uint32_t sessionId;
		const uint16_t port;
		Counters& counters;
		Send send;
		mutable std::mutex mutex;
		std::condition_variable acknowledgedAll;
		std::map<uint32_t, Follower> followers;
		codec::Bytes scratch;
	};
}
