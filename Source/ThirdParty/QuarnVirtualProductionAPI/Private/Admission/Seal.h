// The authenticated envelope: with a studio key every datagram leaves as
//   OSC datagram | "QSK1" | boot id (8) | counter (8) | code (32)
// where the code is the studio key's HMAC-SHA512-256 of everything before it and of the
// address and port it is sent to, so it is good for one destination only. Sealed after
// encoding and opened before decoding, so delivery never sees the difference.

#pragma once

#include "Codec/Osc.h"
#include "StudioKey.h"
#include "Transport/Endpoint.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace quarn::admission
{
	inline constexpr std::size_t trailerBytes = 4 + 8 + 8 + StudioKey::macBytes;

	// A boot id that orders by start time: milliseconds since the epoch, then 20 random bits;
	// within a process each is larger than the one before.
	uint64_t newBootId();

	// The sending half; one per node or tool run. Thread-safe.
	class Sealer
	{
	public:
		explicit Sealer(std::shared_ptr<const StudioKey> key, uint64_t boot = newBootId());

		// `out` = the datagram for `to` and its trailer, with the next counter.
		void seal(const uint8_t* data, std::size_t size, const transport::Endpoint& to, codec::Bytes& out);
		// With a given boot id and counter: for tests and the fuzz target.
		static void sealWith(const StudioKey& key, uint64_t boot, uint64_t counter, const uint8_t* data, std::size_t size, const transport::Endpoint& to, codec::Bytes& out);

	private:
		const std::shared_ptr<const StudioKey> key;
		const uint64_t boot;
		std::atomic<uint64_t> counter{0};
	};

	enum class Verdict : uint8_t
	{
		Accepted,
		// Keyed: no trailer, a wrong key, bytes changed on the way, or meant for another destination.
		NotAuthenticated,
		// Keyed: a counter of that run already seen or too far behind, or an earlier run of the sender.
		Replayed,
		// Not keyed, but the datagram carries a trailer: the sender has a key this node lacks.
		KeyNotExpected,
	};

	// The receiving half: checks the code, then the counter against a window per sender run
	// (boot id), whichever address the datagram comes from. Receive thread only.
	class Opener
	{
	public:
		// Counters accepted behind the highest seen, for datagrams the network reordered.
		static constexpr uint64_t windowSize = 4096;
		// Sender runs and sender addresses remembered at once.
		static constexpr std::size_t maxRuns = 1024;

		// Without a key, plain datagrams pass as they are.
		explicit Opener(std::shared_ptr<const StudioKey> key);

		// `to` is where the datagram was sent: this node's address and port. Accepted: the
		// first `payloadSize` bytes are the OSC datagram.
		Verdict open(const uint8_t* data, std::size_t size, const transport::Endpoint& from, const transport::Endpoint& to, std::size_t& payloadSize);

	private:
		struct Window
		{
			uint64_t highest = 0;
			uint64_t lastUsed = 0;
			std::array<uint64_t, windowSize / 64> seen = {};
		};

		Window* windowFor(uint64_t boot);
		static bool accept(Window& window, uint64_t counter);

		const std::shared_ptr<const StudioKey> key;
		std::unordered_map<uint64_t, Window> windows;
		// The newest run heard from each address and port.
		std::unordered_map<uint64_t, uint64_t> newestBoot;
		// The largest run whose window was given up; nothing at or below it is taken again.
		uint64_t forgottenUpTo = 0;
		uint64_t uses = 0;
	};

	// Whether the datagram ends in something shaped like a trailer.
	bool looksSealed(const uint8_t* data, std::size_t size);
}
