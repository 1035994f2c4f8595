#pragma once

#include "ServerStats.h"

#include <atomic>
#include <cstdint>

namespace quarn::dispatch
{
	// Written by the node's threads, read by stats() at any time.
	struct Counters
	{
		using Counter = std::atomic<uint64_t>;

		Counter datagramsReceived{0};
		Counter commandsDelivered{0};
		Counter duplicatesDropped{0};
		Counter timecodeRequestsAnswered{0};
		Counter acknowledgementsReceived{0};
		Counter unknownAddress{0};
		Counter addressPattern{0};
		Counter wrongTypeTags{0};
		Counter malformed{0};
		Counter unexpected{0};
		Counter commandsBroadcast{0};
		Counter datagramsSent{0};
		Counter retransmissions{0};
		Counter commandsGivenUp{0};
		Counter sendErrors{0};
		Counter notAuthenticated{0};
		Counter replayed{0};
		Counter keyNotExpected{0};
		Counter notAllowed{0};
		Counter nonFinite{0};
		Counter commandsAcknowledged{0};
		Counter commandsApplied{0};
		Counter commandsNotRaised{0};
		Counter commandsLost{0};
		Counter heartbeatsSent{0};
		Counter sessionsRestored{0};
		Counter followersDown{0};
		Counter followersUp{0};
		Counter commandsLate{0};
		Counter commandsStale{0};
		Counter sessionsRejected{0};
		Counter reportsSent{0};
		Counter reportsReceived{0};
		Counter timecodeProbes{0};

		static void add(Counter& counter, uint64_t amount = 1) { counter.fetch_add(amount, std::memory_order_relaxed); }

		ServerStats snapshot() const
		{
			ServerStats stats;
			stats.datagramsReceived = datagramsReceived.load(std::memory_order_relaxed);
			stats.commandsDelivered = commandsDelivered.load(std::memory_order_relaxed);
			stats.duplicatesDropped = duplicatesDropped.load(std::memory_order_relaxed);
			stats.timecodeRequestsAnswered = timecodeRequestsAnswered.load(std::memory_order_relaxed);
			stats.acknowledgementsReceived = acknowledgementsReceived.load(std::memory_order_relaxed);
			stats.unknownAddress = unknownAddress.load(std::memory_order_relaxed);
			stats.addressPattern = addressPattern.load(std::memory_order_relaxed);
			stats.wrongTypeTags = wrongTypeTags.load(std::memory_order_relaxed);
			stats.malformed = malformed.load(std::memory_order_relaxed);
			stats.unexpected = unexpected.load(std::memory_order_relaxed);
			stats.commandsBroadcast = commandsBroadcast.load(std::memory_order_relaxed);
			stats.datagramsSent = datagramsSent.load(std::memory_order_relaxed);
			stats.retransmissions = retransmissions.load(std::memory_order_relaxed);
			stats.commandsGivenUp = commandsGivenUp.load(std::memory_order_relaxed);
			stats.sendErrors = sendErrors.load(std::memory_order_relaxed);
			stats.notAuthenticated = notAuthenticated.load(std::memory_order_relaxed);
			stats.replayed = replayed.load(std::memory_order_relaxed);
			stats.keyNotExpected = keyNotExpected.load(std::memory_order_relaxed);
			stats.notAllowed = notAllowed.load(std::memory_order_relaxed);
			stats.nonFinite = nonFinite.load(std::memory_order_relaxed);
			stats.commandsAcknowledged = commandsAcknowledged.load(std::memory_order_relaxed);
			stats.commandsApplied = commandsApplied.load(std::memory_order_relaxed);
			stats.commandsNotRaised = commandsNotRaised.load(std::memory_order_relaxed);
			stats.commandsLost = commandsLost.load(std::memory_order_relaxed);
			stats.heartbeatsSent = heartbeatsSent.load(std::memory_order_relaxed);
			stats.sessionsRestored = sessionsRestored.load(std::memory_order_relaxed);
			stats.followersDown = followersDown.load(std::memory_order_relaxed);
			stats.followersUp = followersUp.load(std::memory_order_relaxed);
			stats.commandsLate = commandsLate.load(std::memory_order_relaxed);
			stats.commandsStale = commandsStale.load(std::memory_order_relaxed);
			stats.sessionsRejected = sessionsRejected.load(std::memory_order_relaxed);
			stats.reportsSent = reportsSent.load(std::memory_order_relaxed);
			stats.reportsReceived = reportsReceived.load(std::memory_order_relaxed);
			stats.timecodeProbes = timecodeProbes.load(std::memory_order_relaxed);
			return stats;
		}
	};
}
