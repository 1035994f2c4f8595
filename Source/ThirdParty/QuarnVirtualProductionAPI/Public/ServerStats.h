// Counters and follower states a node reports; all counts since its last start.

#pragma once

#include <cstdint>
#include <string>

namespace quarn
{
	struct ServerStats
	{
		uint64_t datagramsReceived = 0;
		// Commands handed to the delegate.
		uint64_t commandsDelivered = 0;
		uint64_t duplicatesDropped = 0;
		uint64_t timecodeRequestsAnswered = 0;
		uint64_t acknowledgementsReceived = 0;
		// The unhandled outcomes: counted and dropped.
		uint64_t unknownAddress = 0;
		uint64_t addressPattern = 0;
		uint64_t wrongTypeTags = 0;
		uint64_t malformed = 0;
		// Well-formed, known, but not meant for a server (a stray acknowledgement, a timecode answer).
		uint64_t unexpected = 0;

		uint64_t commandsBroadcast = 0;
		uint64_t datagramsSent = 0;
		uint64_t retransmissions = 0;
		uint64_t commandsGivenUp = 0;
		uint64_t sendErrors = 0;

		// Delivery: master side (per follower and command), then follower side.
		uint64_t commandsAcknowledged = 0;
		uint64_t commandsApplied = 0;
		uint64_t commandsNotRaised = 0;
		uint64_t commandsLost = 0;
		uint64_t heartbeatsSent = 0;
		uint64_t sessionsRestored = 0;
		uint64_t followersDown = 0;
		uint64_t followersUp = 0;
		// Raised more than 100 ms after the master sent them.
		uint64_t commandsLate = 0;
		// Dropped for being later than the maximum lateness.
		uint64_t commandsStale = 0;
		uint64_t sessionsRejected = 0;
		// Engine reports sent (follower) and received (master); timecode requests of the probe.
		uint64_t reportsSent = 0;
		uint64_t reportsReceived = 0;
		uint64_t timecodeProbes = 0;

		uint64_t unhandled() const { return unknownAddress + addressPattern + wrongTypeTags + malformed + unexpected; }

		// Rejected by the studio key, the masters allow-list or the values: counted, dropped,
		// and told in the log at most once a second per sender and reason.
		// No valid studio key: plain OSC to a keyed node, a wrong key, a forged or altered datagram.
		uint64_t notAuthenticated = 0;
		// A datagram with the key that was seen before, or comes from an earlier run of its sender.
		uint64_t replayed = 0;
		// Signed with a studio key, but this node has none.
		uint64_t keyNotExpected = 0;
		// Commands from a host not on the masters allow-list.
		uint64_t notAllowed = 0;
		// A transform holding NaN or infinity.
		uint64_t nonFinite = 0;

		uint64_t rejected() const { return notAuthenticated + replayed + keyNotExpected + notAllowed + nonFinite; }
	};

	struct FollowerState
	{
		std::string address;
		// Highest command number this follower acknowledged in the current session.
		uint32_t acknowledged = 0;
		uint32_t lastSent = 0;
		uint32_t pending = 0;
		// Set when the follower was silent too long; cleared when it answers again.
		bool down = false;
		uint64_t commandsAcknowledged = 0;
		uint64_t commandsApplied = 0;
		uint64_t commandsLost = 0;
		// Round trips of first transmissions to their acknowledgement (recent ones), microseconds.
		double roundTripP50 = 0;
		double roundTripP99 = 0;
		// Current retransmission timeout (microseconds) and congestion window (commands).
		double retransmitTimeout = 0;
		uint32_t window = 0;
	};
}
