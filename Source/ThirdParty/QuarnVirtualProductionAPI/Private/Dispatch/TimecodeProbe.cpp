#include "Dispatch/TimecodeProbe.h"

#include "Dispatch/ReceivePath.h"

namespace quarn::dispatch
{
	TimecodeProbe::TimecodeProbe(std::chrono::milliseconds probeInterval, uint16_t followerPort, Counters& nodeCounters)
		: interval(probeInterval)
		, port(followerPort)
		, counters(nodeCounters)
	{
		codec::encodeTimecodeRequest(request);
	}

	void TimecodeProbe::service(Clock::time_point now, const std::vector<uint32_t>& followers, const Send& send)
	{
		std::lock_guard lock(mutex);
		if (now < next)
		{
			return;
		}
		next = now + interval * 3 / 4 + std::chrono::microseconds(jitter() % (std::chrono::duration_cast<std::chrono::microseconds>(interval).count() / 2 + 1));
		outstanding.clear();
		for (const uint32_t address : followers)
		{
			outstanding[address] = wallMicros();
			send(request, transport::Endpoint{address, port});
			Counters::add(counters.timecodeProbes);
		}
	}

	std::optional<TimecodeSample> TimecodeProbe::answered(const transport::Endpoint& from, const codec::Decoded& answer)
	{
		const int64_t received = wallMicros();
		std::lock_guard lock(mutex);
		const auto found = outstanding.find(from.address);
		if (found == outstanding.end() || from.port != port)
		{
			return std::nullopt;
		}
		TimecodeSample sample;
		sample.sentMicros = found->second;
		sample.receivedMicros = received;
		sample.timecode = Timecode(answer.hours, answer.minutes, answer.seconds, answer.frames, FrameRate(answer.framesPerSecond));
		outstanding.erase(found);
		return sample;
	}
}
