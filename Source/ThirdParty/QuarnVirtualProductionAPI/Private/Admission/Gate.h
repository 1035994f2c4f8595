// What stands between the socket and the receive path: the studio key's check (opening the
// envelope) and the rate-limited report of everything rejected, before or after decoding.
// Receive thread only.

#pragma once

#include "Admission/RejectionLog.h"
#include "Admission/Seal.h"
#include "Dispatch/Counters.h"
#include "Transport/Endpoint.h"

#include <functional>

namespace quarn::admission
{
	class Gate
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Handle = std::function<void(const uint8_t*, std::size_t)>;

		Gate(std::shared_ptr<const StudioKey> key, dispatch::Counters& counters, RejectionLog::Log log);

		// `to` is where the datagram was sent (this node). Hands the OSC datagram to `handle` when it passes, and tells the log about whatever
		// was rejected, here or by `handle` (read off the node's counters).
		void receive(const uint8_t* data, std::size_t size, const transport::Endpoint& from, const transport::Endpoint& to, Clock::time_point now, const Handle& handle);
		// A datagram the socket cut short.
		void truncated(const transport::Endpoint& from, Clock::time_point now);
		void flush(Clock::time_point now) { rejections.flush(now); }

	private:
		Opener opener;
		dispatch::Counters& counters;
		RejectionLog rejections;
	};
}
