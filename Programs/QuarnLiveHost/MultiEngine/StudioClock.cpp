#include "MultiEngine/StudioClock.h"

#include "Misc/App.h"
#include "Misc/Timecode.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quarnlive::multiengine
{
	namespace
	{
		constexpr std::int64_t microsPerDay = 86400LL * 1000000LL;

		std::int64_t frameAt(std::int64_t sinceOrigin, int rate)
		{
			return sinceOrigin * rate / 1000000;
		}
	} // namespace

	StudioClock::StudioClock(int framesPerSecond)
		: rate_(framesPerSecond)
		, dayOrigin_(wallMicrosNow() / microsPerDay * microsPerDay)
	{
	}

	void StudioClock::begin()
	{
		frame_ = frameAt(wallMicrosNow() - dayOrigin_, rate_);
		FApp::SetCurrentTime(static_cast<double>(frame_) / rate_);
		FApp::SetTimecode(FTimecode::FromSeconds(FApp::GetCurrentTime(), FApp::GetTimecodeFrameRate(), false));
	}

	std::int64_t StudioClock::wallMicrosNow()
	{
		return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
	}

	double StudioClock::WaitForNextFrame()
	{
		const std::int64_t next = frame_ + 1;
		// The first microsecond of the next frame, rounded up.
		const std::int64_t due = dayOrigin_ + (next * 1000000 + rate_ - 1) / rate_;
		const std::int64_t now = wallMicrosNow();
		if (now < due)
		{
			std::this_thread::sleep_for(std::chrono::microseconds(due - now));
		}
		// A late frame skips the frames it missed, as a genlocked engine drops them.
		const std::int64_t previous = frame_;
		frame_ = std::max(next, frameAt(wallMicrosNow() - dayOrigin_, rate_));
		const double delta = static_cast<double>(frame_ - previous) / rate_;
		// The engine adds the delta to its time; a shift moves the time, never the delta the
		// tickables see.
		const double target = static_cast<double>(frame_ + shift_.load(std::memory_order_relaxed)) / rate_;
		FApp::SetCurrentTime(target - delta);
		return delta;
	}

	void StudioClock::shift(std::int64_t frames)
	{
		shift_.store(frames, std::memory_order_relaxed);
	}

	double StudioClock::secondsAt(std::int64_t wallMicros) const
	{
		return static_cast<double>(wallMicros - dayOrigin_) / 1e6 + static_cast<double>(shift_.load(std::memory_order_relaxed)) / rate_;
	}
} // namespace quarnlive::multiengine
