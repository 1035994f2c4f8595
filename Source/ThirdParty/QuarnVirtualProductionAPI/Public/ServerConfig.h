// Plain settings of a server node; read once by start().

#pragma once

#include "StudioKey.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarn
{
	// Seeded faults applied to every datagram a node sends. All rates are 0..1; all zero
	// (the default) means the layer passes datagrams straight through.
	struct FaultConfig
	{
		double dropRate = 0.0;
		double duplicateRate = 0.0;
		// Held back and sent after the next datagram.
		double reorderRate = 0.0;
		double delayRate = 0.0;
		std::chrono::microseconds maxDelay{2000};
		uint64_t seed = 1;

		bool enabled() const { return dropRate > 0.0 || duplicateRate > 0.0 || reorderRate > 0.0 || delayRate > 0.0; }
	};

	struct ReliabilityConfig
	{
		// The shortest retransmission timeout; the timeout itself follows the measured round
		// trips and doubles with each retransmission of the same command.
		std::chrono::milliseconds retransmitInterval{30};
		std::chrono::milliseconds maxRetransmitTimeout{400};
		// A command still unacknowledged this long after its first transmission is given up
		// and reported lost.
		std::chrono::milliseconds deadline{2000};
		// Upper bound of the congestion window (commands in flight per follower); at most
		// 8192, what a follower holds out of order.
		uint32_t window = 4096;
		// Where the congestion window starts and the least it shrinks to.
		uint32_t initialWindow = 64;
		uint32_t minimumWindow = 8;
		// Master and followers exchange one heartbeat this often.
		std::chrono::milliseconds heartbeatInterval{200};
		// A follower (or, on a follower, a master) silent this long is reported down.
		std::chrono::milliseconds silentAfter{1000};
		// Commands kept per follower, sent or waiting; beyond it the oldest is given up so a
		// broadcast never waits.
		uint32_t maxPending = 1u << 18;
	};

	struct ServerConfig
	{
		// Local IPv4 address to bind; 0.0.0.0 listens on every interface.
		std::string bindAddress = "0.0.0.0";
		// Asked of the kernel for the receive queue, so a burst of 10,000 commands is not
		// dropped before the receive thread drains it.
		int receiveBufferBytes = 16 * 1024 * 1024;
		int sendBufferBytes = 4 * 1024 * 1024;
		ReliabilityConfig reliability;
		// Follower: commands that arrive later than this after the master sent them are not
		// raised but reported stale; zero raises every command however late.
		std::chrono::milliseconds maxLateness{0};
		// Master: ask every follower it keeps heartbeats with for its timecode this often and
		// tell the observer each answer (timecodeSampled); zero asks nobody.
		std::chrono::milliseconds timecodeProbeInterval{0};
		FaultConfig faults;

		// Who may command this node (docs/protocol.md, "Studio key and allow-list").
		// With a key every datagram sent is sealed and every one received must be; without
		// one, plain OSC is accepted.
		std::shared_ptr<const StudioKey> studioKey;
		// Dotted IPv4 addresses whose commands are raised; empty: any host. Timecode
		// requests and acknowledgements are not commands and pass.
		std::vector<std::string> masters;
	};
}
