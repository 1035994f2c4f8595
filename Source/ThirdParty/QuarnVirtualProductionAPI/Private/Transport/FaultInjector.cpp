#include "Transport/FaultInjector.h"

namespace quarn::transport
{
	FaultInjector::FaultInjector(const FaultConfig& faultConfig)
		: config(faultConfig)
		, random(faultConfig.seed)
	{
	}

	bool FaultInjector::roll(double rate)
	{
		return rate > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(random) < rate;
	}

	void FaultInjector::submit(const uint8_t* data, std::size_t size, const Endpoint& to, const Emit& emit)
	{
		std::lock_guard lock(mutex);
		if (roll(config.dropRate))
		{
			++droppedCount;
			return;
		}
		Held datagram{std::vector<uint8_t>(data, data + size), to};
		const int copies = roll(config.duplicateRate) ? 2 : 1;
		if (roll(config.delayRate))
		{
			const auto delay = std::chrono::microseconds(std::uniform_int_distribution<int64_t>(0, config.maxDelay.count())(random));
			for (int i = 0; i < copies; ++i)
			{
				delayed.emplace(Clock::now() + delay * (i + 1), datagram);
			}
			return;
		}
		if (!reordered && roll(config.reorderRate))
		{
			reordered = datagram;
			reorderedSince = Clock::now();
			if (copies == 2)
			{
				emit(datagram.bytes, datagram.to);
			}
			return;
		}
		for (int i = 0; i < copies; ++i)
		{
			emit(datagram.bytes, datagram.to);
		}
		if (reordered)
		{
			emit(reordered->bytes, reordered->to);
			reordered.reset();
		}
	}

	void FaultInjector::release(Clock::time_point now, const Emit& emit)
	{
		std::lock_guard lock(mutex);
		while (!delayed.empty() && delayed.begin()->first <= now)
		{
			emit(delayed.begin()->second.bytes, delayed.begin()->second.to);
			delayed.erase(delayed.begin());
		}
		if (reordered && now - reorderedSince >= std::chrono::milliseconds(1))
		{
			emit(reordered->bytes, reordered->to);
			reordered.reset();
		}
	}

	bool FaultInjector::holding() const
	{
		std::lock_guard lock(mutex);
		return reordered.has_value() || !delayed.empty();
	}

	uint64_t FaultInjector::dropped() const
	{
		std::lock_guard lock(mutex);
		return droppedCount;
	}
}
