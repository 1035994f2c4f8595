// Seeded loss, duplication, reordering and delay on a node's outgoing datagrams, so loss
// can be tested without privileges on the host. Off unless a FaultConfig turns it on.

#pragma once

#include "ServerConfig.h"
#include "Transport/Endpoint.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

namespace quarn::transport
{
	class FaultInjector
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Emit = std::function<void(const std::vector<uint8_t>&, const Endpoint&)>;

		explicit FaultInjector(const FaultConfig& config);

		// Calls `emit` for every copy that goes out now (none when dropped or held).
		void submit(const uint8_t* data, std::size_t size, const Endpoint& to, const Emit& emit);
		// Sends what is due: delayed datagrams whose time came, and a reordered one left alone too long.
		void release(Clock::time_point now, const Emit& emit);
		bool holding() const;

		uint64_t dropped() const;

	private:
		struct Held
		{
			std::vector<uint8_t> bytes;
			Endpoint to;
		};

		bool roll(double rate);

		const FaultConfig config;
		mutable std::mutex mutex;
		std::mt19937_64 random;
		std::optional<Held> reordered;
		Clock::time_point reorderedSince;
		std::multimap<Clock::time_point, Held> delayed;
		uint64_t droppedCount = 0;
	};
}
