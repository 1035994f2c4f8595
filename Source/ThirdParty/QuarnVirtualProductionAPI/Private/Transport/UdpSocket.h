// Non-blocking IPv4 UDP socket with a wake-up handle, so the receive thread can wait on
// both and stop() never waits for a datagram.

#pragma once

#include "Transport/Endpoint.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quarn::transport
{
	struct ReceivedDatagram
	{
		const uint8_t* data = nullptr;
		std::size_t size = 0;
		Endpoint from;
		// The address it was sent to (this host's, even when bound to every interface) and our port.
		Endpoint to;
		// Longer than the buffer: the kernel cut it.
		bool truncated = false;
	};

	class UdpSocket
	{
	public:
		// Bytes per received datagram slot; larger datagrams are reported truncated.
		static constexpr std::size_t maxDatagram = 2048;
		static constexpr int batchSize = 64;

		UdpSocket() = default;
		~UdpSocket();
		UdpSocket(const UdpSocket&) = delete;
		UdpSocket& operator=(const UdpSocket&) = delete;

		// False with `error` set when the address is not valid or the port cannot be bound.
		bool open(const std::string& bindAddress, uint16_t port, int receiveBufferBytes, int sendBufferBytes, std::string& error);
		void close();
		bool isOpen() const { return fd >= 0; }

		Endpoint localEndpoint() const;
		int receiveBufferBytes() const;

		// Never blocks; false when the kernel did not take the datagram.
		bool send(const uint8_t* data, std::size_t size, const Endpoint& to) const;

		// Waits until a datagram is readable or wake() was called, at most `timeout`.
		// Returns false when woken or timed out with nothing to read.
		bool wait(std::chrono::milliseconds timeout) const;
		void wake() const;
		void clearWake() const;

		// Up to batchSize datagrams without blocking; the views stay valid until the next call.
		int receiveBatch(ReceivedDatagram* out);

	private:
		int fd = -1;
		int wakeFd = -1;
		uint16_t localPort = 0;
		uint8_t buffers[batchSize][maxDatagram] = {};
		// Room for the IP_PKTINFO control message of each datagram.
		alignas(8) uint8_t controls[batchSize][64] = {};
	};
}
