#include "Board/TimecodeAgreement.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quarnlive::board
{
	namespace
	{
		constexpr double secondsPerDay = 86400.0;
	}

	double secondsOfTimecode(std::uint32_t hours, std::uint32_t minutes, std::uint32_t seconds, std::uint32_t frames, double framesPerSecond)
	{
		const double whole = static_cast<double>(hours) * 3600.0 + static_cast<double>(minutes) * 60.0 + static_cast<double>(seconds);
		return framesPerSecond > 0.0 ? whole + (static_cast<double>(frames) + 0.5) / framesPerSecond : whole;
	}

	double offsetSeconds(double followerSeconds, double masterSentSeconds, double masterReceivedSeconds)
	{
		const double offset = followerSeconds - (masterSentSeconds + masterReceivedSeconds) / 2.0;
		const double folded = std::fmod(offset, secondsPerDay);
		if (folded >= secondsPerDay / 2.0)
		{
			return folded - secondsPerDay;
		}
		if (folded < -secondsPerDay / 2.0)
		{
			return folded + secondsPerDay;
		}
		return folded;
	}

	bool beyondHalfFrame(double offset, double framesPerSecond)
	{
		return framesPerSecond > 0.0 && std::fabs(offset) > 0.5 / framesPerSecond;
	}

	OffsetWindow::OffsetWindow(std::size_t capacity)
		: capacity_(std::max<std::size_t>(1, capacity))
	{
	}

	void OffsetWindow::add(double offset)
	{
		offsets_.push_back(offset);
		while (offsets_.size() > capacity_)
		{
			offsets_.pop_front();
		}
	}

	void OffsetWindow::clear()
	{
		offsets_.clear();
	}

	double OffsetWindow::mean() const
	{
		return offsets_.empty() ? 0.0 : std::accumulate(offsets_.begin(), offsets_.end(), 0.0) / static_cast<double>(offsets_.size());
	}

	double OffsetWindow::spread() const
	{
		if (offsets_.empty())
		{
			return 0.0;
		}
		const auto [low, high] = std::minmax_element(offsets_.begin(), offsets_.end());
		return *high - *low;
	}
} // namespace quarnlive::board
