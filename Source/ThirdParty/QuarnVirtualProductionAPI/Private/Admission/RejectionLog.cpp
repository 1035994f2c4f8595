#include "Admission/RejectionLog.h"

#include "Ipv4Address.h"

namespace quarn::admission
{
	const char* describe(Rejection reason)
	{
		switch (reason)
		{
		case Rejection::NotAuthenticated:
			return "no valid studio key";
		case Rejection::Replayed:
			return "replayed, or from an earlier run of the sender";
		case Rejection::KeyNotExpected:
			return "signed with a studio key, and this engine has none";
		case Rejection::NotAllowed:
			return "not on the masters allow-list";
		case Rejection::NonFinite:
			return "a transform with NaN or infinity";
		case Rejection::Malformed:
			return "malformed";
		case Rejection::UnknownAddress:
			return "unknown OSC address";
		case Rejection::AddressPattern:
			return "OSC address pattern";
		case Rejection::WrongTypeTags:
			return "wrong type tags";
		case Rejection::Unexpected:
			return "unexpected";
		}
		return "rejected";
	}

	RejectionLog::RejectionLog(Log logLine)
		: log(std::move(logLine))
	{
	}

	void RejectionLog::record(uint32_t address, Rejection reason, uint64_t count, Clock::time_point now)
	{
		const auto key = std::make_pair(address, reason);
		auto found = tallies.find(key);
		if (found == tallies.end())
		{
			if (tallies.size() >= maxEntries)
			{
				return;
			}
			found = tallies.emplace(key, Tally{0, now}).first;
		}
		found->second.count += count;
	}

	void RejectionLog::flush(Clock::time_point now)
	{
		for (auto entry = tallies.begin(); entry != tallies.end();)
		{
			if (now - entry->second.since < period)
			{
				++entry;
				continue;
			}
			if (log)
			{
				const uint64_t count = entry->second.count;
				log("dropped " + std::to_string(count) + (count == 1 ? " datagram" : " datagrams") + " from " + ipv4Text(entry->first.first) + " in the last second: " + describe(entry->first.second));
			}
			entry = tallies.erase(entry);
		}
	}
}
