// The master's timecode probe: a timecode request to each follower now and then, each answer
// paired with its request's send time so the owner can place the follower's timecode on the
// master's clock.

#pragma once

#include "Codec/Protocol.h"
#include "Dispatch/Counters.h"
#include "ServerEvents.h"
#include "Transport/Endpoint.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <unordered_map>
#include <vector>

namespace quarn::dispatch
{
	class TimecodeProbe
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Send = std::function<void(const codec::Bytes&, const transport::Endpoint&)>;

		TimecodeProbe(std::chrono::milliseconds interval, uint16_t port, Counters& counters);

		// Service thread: one request to each follower about once per interval. A request still
		// unanswered then is given up; its answer, should it come, no longer pairs.
		void service(Clock::time_point now, const std::vector<uint32_t>& followers, const Send& send);
		// Receive thread: the sample when `from` answered an outstanding request.
		std::optional<TimecodeSample> answered(const transport::Endpoint& from, const codec::Decoded& answer);

	private:
		const std::chrono::milliseconds interval;
		const uint16_t port;
		Counters& counters;
		std::mutex mutex;
		Clock::time_point next{};
		// Follower address to the wall-clock send time of its outstanding request.
		std::unordered_map<uint32_t, int64_t> outstanding;
		codec::Bytes request;
		// Each interval is drawn from 3/4 to 5/4 of the set one: answers at a fixed phase of the
		// followers' frames would all round the same way and bias the mean offset.
		std::minstd_rand jitter{std::random_device{}()};
	};
}
