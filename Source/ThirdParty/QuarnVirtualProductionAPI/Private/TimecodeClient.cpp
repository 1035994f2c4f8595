#include "TimecodeClient.h"

#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "Ipv4Address.h"
#include "Transport/UdpSocket.h"

#include <memory>

namespace quarn
{
	std::optional<TimecodeAnswer> requestTimecode(const std::string& address, uint16_t port, std::chrono::milliseconds timeout, const std::string& bindAddress,
		std::shared_ptr<const StudioKey> studioKey)
	{
		const std::optional<uint32_t> target = parseIpv4(address);
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
		if (studioKey)
		{
			const codec::Bytes plain = request;
			admission::Sealer(studioKey).seal(plain.data(), plain.size(), transport::Endpoint{*target, port}, request);
		}
		admission::Opener opener(studioKey);
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
				std::size_t payloadSize = 0;
				if (opener.open(batch[i].data, batch[i].size, batch[i].from, batch[i].to, payloadSize) != admission::Verdict::Accepted)
				{
					continue;
				}
				const codec::Decoded answer = codec::decodeMessage(batch[i].data, payloadSize);
				if (answer.kind == codec::MessageKind::TimecodeAnswer)
				{
					return TimecodeAnswer{Timecode(answer.hours, answer.minutes, answer.seconds, answer.frames, FrameRate(answer.framesPerSecond)), std::chrono::steady_clock::now() - sent};
				}
			}
		}
		return std::nullopt;
	}
}
