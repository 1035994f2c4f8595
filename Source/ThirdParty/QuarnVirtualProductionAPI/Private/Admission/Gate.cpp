#include "Admission/Gate.h"

#include <array>

namespace quarn::admission
{
	namespace
	{
		struct Watched
		{
			Rejection reason;
			dispatch::Counters::Counter dispatch::Counters::*counter;
		};

		// The receive path's own unhandled outcomes, by the counter each one moves.
		constexpr std::array<Watched, 7> watched = {{
			{Rejection::NotAllowed, &dispatch::Counters::notAllowed},
			{Rejection::NonFinite, &dispatch::Counters::nonFinite},
			{Rejection::Malformed, &dispatch::Counters::malformed},
			{Rejection::UnknownAddress, &dispatch::Counters::unknownAddress},
			{Rejection::AddressPattern, &dispatch::Counters::addressPattern},
			{Rejection::WrongTypeTags, &dispatch::Counters::wrongTypeTags},
			{Rejection::Unexpected, &dispatch::Counters::unexpected},
		}};
	}

	Gate::Gate(std::shared_ptr<const StudioKey> key, dispatch::Counters& nodeCounters, RejectionLog::Log log)
		: opener(std::move(key))
		, counters(nodeCounters)
		, rejections(std::move(log))
	{
	}

	void Gate::receive(const uint8_t* data, std::size_t size, const transport::Endpoint& from, const transport::Endpoint& to, Clock::time_point now, const Handle& handle)
	{
		std::size_t payloadSize = 0;
		switch (opener.open(data, size, from, to, payloadSize))
		{
		case Verdict::Accepted:
			break;
		case Verdict::NotAuthenticated:
			dispatch::Counters::add(counters.notAuthenticated);
			rejections.record(from.address, Rejection::NotAuthenticated, 1, now);
			return;
		case Verdict::Replayed:
			dispatch::Counters::add(counters.replayed);
			rejections.record(from.address, Rejection::Replayed, 1, now);
			return;
		case Verdict::KeyNotExpected:
			dispatch::Counters::add(counters.keyNotExpected);
			rejections.record(from.address, Rejection::KeyNotExpected, 1, now);
			return;
		}
		std::array<uint64_t, watched.size()> before;
		for (std::size_t i = 0; i < watched.size(); ++i)
		{
			before[i] = (counters.*watched[i].counter).load(std::memory_order_relaxed);
		}
		handle(data, payloadSize);
		for (std::size_t i = 0; i < watched.size(); ++i)
		{
			const uint64_t after = (counters.*watched[i].counter).load(std::memory_order_relaxed);
			if (after != before[i])
			{
				rejections.record(from.address, watched[i].reason, after - before[i], now);
			}
		}
	}

	void Gate::truncated(const transport::Endpoint& from, Clock::time_point now)
	{
		dispatch::Counters::add(counters.malformed);
		rejections.record(from.address, Rejection::Malformed, 1, now);
	}
}
