#pragma once

#include "HeadlessEngineLoop.h"

#include <atomic>
#include <cstdint>

namespace quarnlive::multiengine
{
	/**
	 * Frames on the wall clock's frame grid, with the time of day (UTC) as the engine's time
	 * and so as its timecode: what a studio gets from genlock and a time-of-day timecode.
	 * Engines whose clocks agree show the same timecode at the same instant, which is what
	 * the master's timecode probe compares.
	 */
	class StudioClock final : public IEngineClock
	{
	public:
		explicit StudioClock(int framesPerSecond);

		/** Sets the engine's time and timecode to the current frame of the grid; after the engine booted. */
		void begin();

		double WaitForNextFrame() override;

		/** Moves this engine's timecode by whole frames from the next frame on (any thread). */
		void shift(std::int64_t frames);
		std::int64_t shiftFrames() const { return shift_.load(std::memory_order_relaxed); }

		/** The engine's time of day, in seconds, at a wall-clock instant (microseconds since the epoch). */
		double secondsAt(std::int64_t wallMicros) const;
		int framesPerSecond() const { return rate_; }

		static std::int64_t wallMicrosNow();

	private:
		const int rate_;
		// Midnight (UTC) of the day the engine started, microseconds since the epoch.
		const std::int64_t dayOrigin_;
		// Grid frame of the last engine frame, counted from dayOrigin_.
		std::int64_t frame_ = 0;
		std::atomic<std::int64_t> shift_{0};
	};
} // namespace quarnlive::multiengine
