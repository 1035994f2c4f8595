// Rejected datagrams told to people at a bounded rate: at most one line per sender and
// reason a second, "dropped 412 datagrams from 10.0.0.9 in the last second: no valid studio
// key". Receive thread only; the counters stay the exact record.

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace quarn::admission
{
	enum class Rejection : uint8_t
	{
		NotAuthenticated,
		Replayed,
		KeyNotExpected,
		NotAllowed,
		NonFinite,
		Malformed,
		UnknownAddress,
		AddressPattern,
		WrongTypeTags,
		Unexpected,
	};

	const char* describe(Rejection reason);

	class RejectionLog
	{
	public:
		using Clock = std::chrono::steady_clock;
		using Log = std::function<void(const std::string&)>;

		static constexpr std::chrono::seconds period{1};
		// Senders and reasons tracked at once; beyond them a flood is still counted, not told.
		static constexpr std::size_t maxEntries = 256;

		explicit RejectionLog(Log log);

		void record(uint32_t address, Rejection reason, uint64_t count, Clock::time_point now);
		// Tells every sender and reason whose second is over.
		void flush(Clock::time_point now);

	private:
		struct Tally
		{
			uint64_t count = 0;
			Clock::time_point since;
		};

		Log log;
		std::map<std::pair<uint32_t, Rejection>, Tally> tallies;
	};
}
