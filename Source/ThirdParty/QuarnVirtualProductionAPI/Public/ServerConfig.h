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
		// An unacknowledged command is sent again after this long.
		std::chrono::milliseconds retransmitInterval{10};
		// A command still unacknowledged this long after its first send is given up and its
		// follower reported down.
		std::chrono::milliseconds deadline{2000};
		// Commands in flight per follower before further ones wait for acknowledgements; at
		// most 8192, what a follower holds out of order.
		uint32_t window = 4096;
		// Commands kept per follower, sent or waiting; beyond it the oldest is given up so a
		// broadcast never waits.
		uint32_t maxPending = 1u << 17;
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
