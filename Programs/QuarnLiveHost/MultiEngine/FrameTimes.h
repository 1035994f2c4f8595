#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <vector>

namespace quarnlive::multiengine
{
	/** How long the engine worked in each of its recent frames (the wait for the next frame not counted). */
	class FrameTimes
	{
	public:
		void add(std::chrono::steady_clock::duration work)
		{
			work_[next_ % work_.size()] = std::chrono::duration<double, std::milli>(work).count();
			++next_;
		}

		std::size_t count() const { return std::min(next_, work_.size()); }

		/** The work of the given share (0..1) of the recent frames was at most this, in milliseconds. */
		double percentileMs(double share) const
		{
			if (count() == 0)
			{
				return 0.0;
			}
			std::vector<double> sorted(work_.begin(), work_.begin() + static_cast<std::ptrdiff_t>(count()));
			std::sort(sorted.begin(), sorted.end());
			return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(share * static_cast<double>(sorted.size())))];
		}

	private:
		// The last ten seconds at 60 frames a second.
		std::array<double, 600> work_{};
		std::size_t next_ = 0;
	};
} // namespace quarnlive::multiengine
