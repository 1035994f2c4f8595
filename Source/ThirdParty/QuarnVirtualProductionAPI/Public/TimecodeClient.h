// Asks one engine for its timecode, as a tool would; not needed by an engine itself.

#pragma once

#include "QuarnTypes.h"
#include "StudioKey.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quarn
{
	struct TimecodeAnswer
	{
		Timecode timecode{FrameRate()};
		std::chrono::nanoseconds roundTrip{0};
	};

	// Sends "/quarn/timecode/get" to address:port from an ephemeral port on `bindAddress`
	// and waits at most `timeout` for the answer. With a studio key the request is sealed
	// and only an answer sealed with the same key counts.
	std::optional<TimecodeAnswer> requestTimecode(const std::string& address, uint16_t port, std::chrono::milliseconds timeout, const std::string& bindAddress = "0.0.0.0",
		std::shared_ptr<const StudioKey> studioKey = nullptr);
}
