#include "Dispatch/Outbox.h"

namespace quarn::dispatch
{
	namespace
	{
		bool serialLessOrEqual(uint32_t a, uint32_t b)
		{
			return static_cast<int32_t>(a - b) <= 0;
		}
	}

	Outbox::Outbox(const ReliabilityConfig& reliability, uint32_t session, uint16_t followerPort, Counters& nodeCounters, Send sender)
		: config(reliability), sessionId(session), port(followerPort), counters(nodeCounters), send(std::move(sender))
	{
	}

	bool Outbox::broadcast(const codec::Command& command, const std::vector<uint32_t>& addresses)
	{
		if (addresses.empty())
		{
			return false;
		}
		auto message = std::make_shared<codec::Bytes>();
		codec::encodeCommand(command, *message);
		const Clock::time_point now = Clock::now();
		std::lock_guard lock(mutex);
		for (const uint32_t address : addresses)
		{
			Follower& follower = followers[address];
			follower.to = transport::Endpoint{address, port};
			follower.pending.push_back(Pending{follower.nextSequence++, message, now, {}});
			if (follower.pending.size() > config.maxPending)
			{
				// Never let a dead follower make a broadcast wait or grow without bound.
				follower.pending.pop_front();
				follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
				Counters::add(counters.commandsGivenUp);
			}
			fillWindow(follower, now);
		}
		Counters::add(counters.commandsBroadcast);
		return true;
	}

	void Outbox::transmit(Follower& follower, Pending& pending, Clock::time_point now)
	{
		scratch.clear();
		codec::encodeEnvelope(sessionId, pending.sequence, follower.pending.front().sequence, *pending.message, scratch);
		send(scratch, follower.to);
		pending.lastSent = now;
	}

	void Outbox::fillWindow(Follower& follower, Clock::time_point now)
	{
		while (follower.inFlight < follower.pending.size() && follower.inFlight < config.window)
		{
			transmit(follower, follower.pending[follower.inFlight], now);
			++follower.inFlight;
		}
	}

	void Outbox::acknowledged(uint32_t followerAddress, uint32_t session, uint32_t sequence)
	{
		std::lock_guard lock(mutex);
		auto found = followers.find(followerAddress);
		if (session != sessionId || found == followers.end())
		{
			Counters::add(counters.unexpected);
			return;
		}
		Follower& follower = found->second;
		if (serialLessOrEqual(follower.nextSequence, sequence))
		{
			// Acknowledges something never sent: not from our follower.
			Counters::add(counters.unexpected);
			return;
		}
		while (!follower.pending.empty() && serialLessOrEqual(follower.pending.front().sequence, sequence))
		{
			follower.pending.pop_front();
			follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
		}
		if (!serialLessOrEqual(sequence, follower.acknowledged))
		{
			follower.acknowledged = sequence;
		}
		follower.bDown = false;
		fillWindow(follower, Clock::now());
		if (allAcknowledgedLocked())
		{
			acknowledgedAll.notify_all();
		}
	}

	void Outbox::service(Clock::time_point now, const FollowerDown& down)
	{
		std::vector<std::string> wentDown;
		{
			std::lock_guard lock(mutex);
			for (auto& [address, follower] : followers)
			{
				bool bGaveUp = false;
				while (!follower.pending.empty() && now - follower.pending.front().queued >= config.deadline)
				{
					follower.pending.pop_front();
					follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
					Counters::add(counters.commandsGivenUp);
					bGaveUp = true;
				}
				if (bGaveUp && !follower.bDown)
				{
					follower.bDown = true;
					wentDown.push_back(follower.to.addressText());
				}
				for (std::size_t i = 0; i < follower.inFlight; ++i)
				{
					Pending& pending = follower.pending[i];
					if (now - pending.lastSent >= config.retransmitInterval)
					{
						transmit(follower, pending, now);
						Counters::add(counters.retransmissions);
					}
				}
				fillWindow(follower, now);
			}
			if (allAcknowledgedLocked())
			{
				acknowledgedAll.notify_all();
			}
		}
		if (down)
		{
			for (const std::string& address : wentDown)
			{
				down(address);
			}
		}
	}

	bool Outbox::allAcknowledgedLocked() const
	{
		for (const auto& [address, follower] : followers)
		{
			if (!follower.pending.empty())
			{
				return false;
			}
		}
		return true;
	}

	std::vector<FollowerState> Outbox::states() const
	{
		std::lock_guard lock(mutex);
		std::vector<FollowerState> result;
		for (const auto& [address, follower] : followers)
		{
			result.push_back(FollowerState{follower.to.addressText(), follower.acknowledged, follower.nextSequence - 1, static_cast<uint32_t>(follower.pending.size()), follower.bDown});
		}
		return result;
	}

	bool Outbox::waitUntilAcknowledged(std::chrono::milliseconds timeout)
	{
		std::unique_lock lock(mutex);
		return acknowledgedAll.wait_for(lock, timeout, [this] { return allAcknowledgedLocked(); });
	}
}
