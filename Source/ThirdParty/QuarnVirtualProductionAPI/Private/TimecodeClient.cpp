#include "TimecodeClient.h"

#include "Codec/Protocol.h"
#include "Transport/UdpSocket.h"

#include <memory>

namespace quarn
{
	std::optional<TimecodeAnswer> requestTimecode(const std::string& address, uint16_t port, std::chrono::milliseconds timeout, const std::string& bindAddress)
	{
		const std::optional<uint32_t> target = transport::parseAddress(address);
		if (!target)
		{
			return std::nullopt;
		}
		auto socket = std::make_unique<transport::UdpSocket>();
		std::string error;
		if (!socket->open(bindAddress, 0, 64 * 1024, 64 * 1024, error))
		{
			return std::nullopt;
		}
		codec::Bytes request;
		codec::encodeTimecodeRequest(request);
		const auto sent = std::chrono::steady_clock::now();
		const auto deadline = sent + timeout;
		if (!socket->send(request.data(), request.size(), transport::Endpoint{*target, port}))
		{
			return std::nullopt;
		}
		transport::ReceivedDatagram batch[transport::UdpSocket::batchSize];
		for (auto now = sent; now < deadline; now = std::chrono::steady_clock::now())
		{
			socket->wait(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1));
			const int count = socket->receiveBatch(batch);
			for (int i = 0; i < count; ++i)
			{
				if (batch[i].from.address != *target || batch[i].from.port != port)
				{
					continue;
				}
				const codec::Decoded answer = codec::decodeMessage(batch[i].data, batch[i].size);
				if (answer.kind == codec::MessageKind::TimecodeAnswer)
				{
					return TimecodeAnswer{Timecode(answer.hours, answer.minutes, answer.seconds, answer.frames, FrameRate(answer.framesPerSecond)), std::chrono::steady_clock::now() - sent};
				}
			}
		}
		return std::nullopt;
	}
}
