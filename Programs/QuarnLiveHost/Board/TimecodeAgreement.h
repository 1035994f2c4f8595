#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace quarnlive::board
{
	/** A timecode as seconds since midnight; a timecode names a frame, so its middle is taken. */
	double secondsOfTimecode(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds, std::uint32_t frames, double framesPerSecond);

	/**
	 * The follower's offset to the master, NTP style: the follower's time minus the master's
	 * time halfway between sending the request and receiving the answer. All in seconds of the
	 * day; the result is folded into half a day either way, so midnight does not count as an
	 * offset.
	 */
	double offsetSeconds(double followerSeconds, double masterSentSeconds, double masterReceivedSeconds);

	/** Whether an offset is more than half a frame at the session's rate. */
	bool beyondHalfFrame(double offsetSeconds, double framesPerSecond);

	/**
	 * The last few offsets of one follower. A single answer is off by up to a frame because
	 * both engines count whole frames; the mean of the window is what is compared.
	 */
	class OffsetWindow
	{
	public:
		explicit OffsetWindow(std::size_t capacity = 8);

		void add(double offsetSeconds);
		void clear();
		std::size_t size() const { return offsets_.size(); }
		double mean() const;
		/** Largest minus smallest offset in the window. */
		double spread() const;

	private:
		std::size_t capacity_;
		std::deque<double> offsets_;
	};
} // namespace quarnlive::board
