#include "Dispatch/Outbox.h"

#include "Dispatch/ReceivePath.h"

#include <algorithm>
#include <random>

namespace quarn::dispatch
{
	namespace
	{
		using std::chrono::duration_cast;
		using std::chrono::microseconds;
		using std::chrono::milliseconds;

		bool serialLessOrEqual(uint32_t a, uint32_t b)
		{
			return static_cast<int32_t>(a - b) <= 0;
		}

		uint32_t randomSession()
		{
			std::random_device device;
			uint32_t session = 0;
			while (session == 0)
			{
				session = device();
			}
			return session;
		}

		// Retransmissions of one command back off up to this many doublings.
		constexpr uint32_t maxBackOff = 6;
		// RFC 6298's clock granularity term, microseconds.
		constexpr double granularity = 1000.0;
		// A follower with this many commands in flight is taking a burst: what is broadcast
		// meanwhile waits for the next acknowledgement (or the next service tick) and travels
		// packed. Show traffic never has this many in flight, so it still goes at once.
		constexpr std::size_t burstInFlight = 8;
		// Command bytes one envelope carries: with its header and seal it fits one Ethernet
		// frame and a follower's receive buffer.
		constexpr std::size_t packedBytes = 1200;
		// Commands share their envelope's send time, the first one's: a receipt may
		// overstate the lateness of a packed command by at most this.
		constexpr int64_t packedSpanMicros = 1000;
	}

	Outbox::Outbox(const ReliabilityConfig& reliability, uint16_t followerPort, Counters& nodeCounters, Send sender, ServerObserver* serverObserver,
		std::function<uint32_t()> newSession)
		: config(reliability)
		, port(followerPort)
		, counters(nodeCounters)
		, send(std::move(sender))
		, observer(serverObserver)
		, drawSession(newSession ? std::move(newSession) : std::function<uint32_t()>(&randomSession))
	{
	}

	Outbox::Follower& Outbox::followerFor(uint32_t address, Clock::time_point now)
	{
		auto [found, bNew] = followers.try_emplace(address);
		Follower& follower = found->second;
		if (bNew)
		{
			follower.to = transport::Endpoint{address, port};
			follower.session = drawSession();
			follower.lastHeard = now;
			follower.lastAcknowledgedAt = now;
			follower.nextHeartbeat = now;
			follower.window = config.initialWindow;
			follower.threshold = config.window;
			follower.receiverWindow = static_cast<uint32_t>(ReceivePath::maxWaiting);
			// Before the first round trip is measured (RFC 6298 starts higher; a studio network is not the internet).
			follower.timeout = std::clamp(100000.0, leastTimeout(), mostTimeout());
		}
		return follower;
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
		const int64_t sentMicros = wallMicros();
		std::vector<Event> events;
		{
			std::lock_guard lock(mutex);
			const uint64_t id = ++commandCount;
			uint32_t sendPosition = 0;
			for (const uint32_t address : addresses)
			{
				Follower& follower = followerFor(address, now);
				const uint32_t sequence = follower.nextSequence++;
				follower.pending.push_back(Pending{id, sequence, message, sentMicros, std::nullopt, {}, 0});
				follower.tracked.emplace(trackKey(follower.session, sequence), Tracked{id, false, {}});
				if (Fate* fate = fateFor(follower, id))
				{
					fate->bSent = true;
					fate->sendPosition = sendPosition;
				}
				++sendPosition;
				if (follower.pending.size() > config.maxPending)
				{
					// Never let a dead follower make a broadcast wait or grow without bound.
					std::vector<uint64_t> lost;
					giveUp(follower, follower.pending.front(), lost);
					follower.pending.pop_front();
					follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
					Event event{Event::Kind::Lost, follower.to.addressText()};
					event.reason = LossReason::Overflow;
					event.commands = std::move(lost);
					events.push_back(std::move(event));
				}
				if (follower.inFlight < burstInFlight)
				{
					fillWindow(follower, now);
				}
			}
		}
		Counters::add(counters.commandsBroadcast);
		report(events);
		return true;
	}

	void Outbox::watch(const std::vector<uint32_t>& addresses)
	{
		std::lock_guard lock(mutex);
		const Clock::time_point now = Clock::now();
		for (const uint32_t address : addresses)
		{
			followerFor(address, now);
		}
	}

	uint32_t Outbox::baseOf(const Follower& follower) const
	{
		return follower.pending.empty() ? follower.nextSequence : follower.pending.front().sequence;
	}

	uint32_t Outbox::missingReceipts(const Follower& follower, Clock::time_point now) const
	{
		// Receipts travel once; one still missing a heartbeat after its acknowledgement was lost.
		std::optional<uint32_t> oldest;
		for (const auto& [key, tracked] : follower.tracked)
		{
			const uint32_t session = static_cast<uint32_t>(key >> 32);
			const uint32_t sequence = static_cast<uint32_t>(key);
			if (session == follower.session && tracked.bAcknowledged && now - tracked.acknowledgedAt > config.heartbeatInterval
				&& (!oldest || serialLessOrEqual(sequence, *oldest)))
			{
				oldest = sequence;
			}
		}
		return oldest.value_or(0);
	}

	std::size_t Outbox::packable(const Follower& follower, std::size_t first, std::size_t most, const std::function<bool(const Pending&)>& bWanted) const
	{
		const Pending& head = follower.pending[first];
		std::size_t bytes = head.message->size();
		std::size_t count = 1;
		while (count < most && first + count < follower.pending.size())
		{
			const Pending& next = follower.pending[first + count];
			bytes += next.message->size();
			if (next.sequence != head.sequence + count || next.sentMicros - head.sentMicros > packedSpanMicros || bytes > packedBytes || !bWanted(next))
			{
				break;
			}
			++count;
		}
		return count;
	}

	void Outbox::transmit(Follower& follower, std::size_t first, std::size_t count, Clock::time_point now)
	{
		packed.clear();
		for (std::size_t i = first; i < first + count; ++i)
		{
			packed.push_back(follower.pending[i].message.get());
		}
		const Pending& head = follower.pending[first];
		scratch.clear();
		codec::encodeEnvelope(follower.session, head.sequence, baseOf(follower), head.sentMicros, packed, scratch);
		send(scratch, follower.to);
		for (std::size_t i = first; i < first + count; ++i)
		{
			Pending& pending = follower.pending[i];
			if (!pending.firstSent)
			{
				pending.firstSent = now;
			}
			pending.lastSent = now;
			++pending.transmissions;
		}
	}

	void Outbox::fillWindow(Follower& follower, Clock::time_point now)
	{
		const std::size_t limit = std::min<std::size_t>({static_cast<std::size_t>(follower.window), config.window, std::max<uint32_t>(follower.receiverWindow, 1)});
		while (follower.inFlight < follower.pending.size() && follower.inFlight < limit)
		{
			const std::size_t count = packable(follower, follower.inFlight, limit - follower.inFlight, [](const Pending&) { return true; });
			transmit(follower, follower.inFlight, count, now);
			follower.inFlight += count;
		}
	}

	void Outbox::measure(Follower& follower, Clock::duration roundTrip)
	{
		const double sample = static_cast<double>(duration_cast<microseconds>(roundTrip).count());
		if (!follower.bMeasured)
		{
			follower.bMeasured = true;
			follower.smoothed = sample;
			follower.variation = sample / 2;
		}
		else
		{
			follower.variation = 0.75 * follower.variation + 0.25 * std::abs(follower.smoothed - sample);
			follower.smoothed = 0.875 * follower.smoothed + 0.125 * sample;
		}
		follower.timeout = std::clamp(follower.smoothed + std::max(granularity, 4 * follower.variation), leastTimeout(), mostTimeout());
		follower.samples[follower.sampleCount++ % follower.samples.size()] = static_cast<uint32_t>(std::min(sample, 4e9));
	}

	Outbox::Clock::duration Outbox::timeoutFor(const Follower& follower, const Pending& pending) const
	{
		const double backedOff = follower.timeout * static_cast<double>(1u << std::min(pending.transmissions - 1, maxBackOff));
		return microseconds(static_cast<int64_t>(std::min(backedOff, mostTimeout())));
	}

	void Outbox::heard(Follower& follower, Clock::time_point now, bool bRestarted, std::vector<Event>& events)
	{
		if (follower.bDown || bRestarted)
		{
			Event event{Event::Kind::Up, follower.to.addressText()};
			event.duration = duration_cast<milliseconds>(now - follower.lastHeard);
			event.bRestarted = bRestarted;
			events.push_back(std::move(event));
			follower.bDown = false;
			Counters::add(counters.followersUp);
		}
		follower.lastHeard = now;
	}

	Outbox::Fate* Outbox::fateFor(Follower& follower, uint64_t command)
	{
		if (follower.fates.empty())
		{
			follower.firstFate = command;
		}
		if (command < follower.firstFate)
		{
			return nullptr;
		}
		while (follower.fates.size() <= command - follower.firstFate)
		{
			follower.fates.emplace_back();
		}
		while (follower.fates.size() > keptFates)
		{
			follower.fates.pop_front();
			++follower.firstFate;
		}
		return command >= follower.firstFate ? &follower.fates[command - follower.firstFate] : nullptr;
	}

	void Outbox::popAcknowledged(Follower& follower, uint32_t sequence, Clock::time_point now)
	{
		std::optional<Clock::duration> roundTrip;
		uint32_t count = 0;
		while (!follower.pending.empty() && serialLessOrEqual(follower.pending.front().sequence, sequence))
		{
			const Pending& pending = follower.pending.front();
			// Karn: only a command sent once tells how long a round trip takes.
			if (pending.transmissions == 1)
			{
				roundTrip = now - pending.lastSent;
			}
			auto tracked = follower.tracked.find(trackKey(follower.session, pending.sequence));
			if (tracked != follower.tracked.end())
			{
				tracked->second.bAcknowledged = true;
				tracked->second.acknowledgedAt = now;
			}
			if (Fate* fate = fateFor(follower, pending.command))
			{
				fate->bAcknowledged = true;
			}
			follower.pending.pop_front();
			follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
			++count;
		}
		if (count == 0)
		{
			return;
		}
		follower.acknowledgedCount += count;
		Counters::add(counters.commandsAcknowledged, count);
		follower.lastAcknowledgedAt = now;
		if (roundTrip)
		{
			measure(follower, *roundTrip);
		}
		// Additive increase: a window's worth of acknowledgements adds one command, after a
		// slow start that doubles it each round trip.
		if (follower.window < follower.threshold)
		{
			follower.window += count;
		}
		else
		{
			follower.window += static_cast<double>(count) / follower.window;
		}
		follower.window = std::min<double>(follower.window, config.window);
	}

	void Outbox::acknowledged(uint32_t followerAddress, const codec::Decoded& acknowledgement)
	{
		std::vector<Event> events;
		{
			std::lock_guard lock(mutex);
			auto found = followers.find(followerAddress);
			if (found == followers.end() || acknowledgement.session != found->second.session)
			{
				Counters::add(counters.unexpected);
				return;
			}
			Follower& follower = found->second;
			const uint32_t sequence = acknowledgement.sequence;
			if (serialLessOrEqual(follower.nextSequence, sequence))
			{
				// Acknowledges something never sent: not from our follower.
				Counters::add(counters.unexpected);
				return;
			}
			const Clock::time_point now = Clock::now();
			// A new run that joined this session at its start: nothing was acknowledged
			// before, so only what the old run acknowledged can be lost.
			const bool bRestarted = follower.instance != 0 && acknowledgement.instance != follower.instance;
			if (bRestarted)
			{
				loseAcknowledged(follower, events);
			}
			follower.instance = acknowledgement.instance;
			heard(follower, now, bRestarted, events);
			follower.receiverWindow = acknowledgement.window;
			popAcknowledged(follower, sequence, now);
			if (!serialLessOrEqual(sequence, follower.acknowledged))
			{
				follower.acknowledged = sequence;
			}
			if (serialLessOrEqual(follower.highestReceived, acknowledgement.base) && serialLessOrEqual(acknowledgement.base, follower.nextSequence - 1))
			{
				follower.highestReceived = acknowledgement.base;
			}
			fillWindow(follower, now);
			notifyLocked();
		}
		report(events);
	}

	uint32_t Outbox::renumber(Follower& follower, Clock::time_point now)
	{
		const uint32_t oldSession = follower.session;
		follower.session = drawSession();
		follower.nextSequence = 1;
		follower.acknowledged = 0;
		follower.highestReceived = 0;
		follower.recoveryPoint = 0;
		for (Pending& pending : follower.pending)
		{
			const auto old = follower.tracked.find(trackKey(oldSession, pending.sequence));
			const Tracked tracked = old != follower.tracked.end() ? old->second : Tracked{pending.command, false, {}};
			if (old != follower.tracked.end())
			{
				follower.tracked.erase(old);
			}
			pending.sequence = follower.nextSequence++;
			pending.transmissions = 0;
			follower.tracked.emplace(trackKey(follower.session, pending.sequence), tracked);
		}
		follower.inFlight = 0;
		follower.nextHeartbeat = now;
		fillWindow(follower, now);
		return static_cast<uint32_t>(follower.pending.size());
	}

	void Outbox::loseAcknowledged(Follower& follower, std::vector<Event>& events)
	{
		std::vector<uint64_t> lost;
		for (auto entry = follower.tracked.begin(); entry != follower.tracked.end();)
		{
			if (!entry->second.bAcknowledged)
			{
				++entry;
				continue;
			}
			lost.push_back(entry->second.command);
			if (Fate* fate = fateFor(follower, entry->second.command))
			{
				fate->bLost = true;
			}
			entry = follower.tracked.erase(entry);
		}
		if (lost.empty())
		{
			return;
		}
		std::sort(lost.begin(), lost.end());
		follower.lostCount += lost.size();
		Counters::add(counters.commandsLost, lost.size());
		Event event{Event::Kind::Lost, follower.to.addressText()};
		event.reason = LossReason::Restarted;
		event.commands = std::move(lost);
		events.push_back(std::move(event));
	}

	void Outbox::rejected(uint32_t followerAddress, const codec::Decoded& reject)
	{
		std::vector<Event> events;
		{
			std::lock_guard lock(mutex);
			auto found = followers.find(followerAddress);
			// Only a reject of the current session matters; old ones trail a renumbering.
			if (found == followers.end() || reject.session != found->second.session)
			{
				Counters::add(counters.unexpected);
				return;
			}
			Follower& follower = found->second;
			const Clock::time_point now = Clock::now();
			const bool bRestarted = follower.instance != 0 && reject.instance != follower.instance;
			if (bRestarted)
			{
				loseAcknowledged(follower, events);
			}
			follower.instance = reject.instance;
			heard(follower, now, bRestarted, events);
			if (reject.reason == codec::RejectReason::Retired && !bRestarted)
			{
				// It handed on everything up to `delivered` before another sender took over.
				popAcknowledged(follower, reject.sequence, now);
				const auto gap = duration_cast<milliseconds>(now - follower.lastAcknowledgedAt);
				Event event{Event::Kind::Restored, follower.to.addressText()};
				event.duration = gap;
				event.count = renumber(follower, now);
				events.push_back(std::move(event));
				Counters::add(counters.sessionsRestored);
			}
			else
			{
				renumber(follower, now);
			}
			notifyLocked();
		}
		report(events);
	}

	void Outbox::receiptArrived(uint32_t followerAddress, const codec::Receipt& receipt)
	{
		std::vector<Event> events;
		{
			std::lock_guard lock(mutex);
			auto found = followers.find(followerAddress);
			if (found == followers.end())
			{
				Counters::add(counters.unexpected);
				return;
			}
			Follower& follower = found->second;
			auto tracked = follower.tracked.find(trackKey(receipt.session, receipt.sequence));
			if (tracked == follower.tracked.end())
			{
				// A repeat, or a command already reported lost.
				Counters::add(counters.duplicatesDropped);
				return;
			}
			const uint64_t command = tracked->second.command;
			follower.tracked.erase(tracked);
			heard(follower, Clock::now(), false, events);
			AppliedReceipt applied{static_cast<CommandOutcome>(receipt.outcome), receipt.frame, receipt.hours, receipt.minutes, receipt.seconds, receipt.frames,
				microseconds(receipt.latenessMicros)};
			if (Fate* fate = fateFor(follower, command))
			{
				fate->applied = applied;
			}
			if (applied.outcome == CommandOutcome::Raised)
			{
				++follower.appliedCount;
				Counters::add(counters.commandsApplied);
			}
			else
			{
				Counters::add(counters.commandsNotRaised);
			}
			if (observer)
			{
				Event event{Event::Kind::Applied, follower.to.addressText()};
				event.commands = {command};
				event.receipt = applied;
				events.push_back(std::move(event));
			}
			notifyLocked();
		}
		report(events);
	}

	void Outbox::giveUp(Follower& follower, const Pending& pending, std::vector<uint64_t>& lost)
	{
		follower.tracked.erase(trackKey(follower.session, pending.sequence));
		if (Fate* fate = fateFor(follower, pending.command))
		{
			fate->bLost = true;
		}
		lost.push_back(pending.command);
		++follower.lostCount;
		Counters::add(counters.commandsGivenUp);
		Counters::add(counters.commandsLost);
		bGaveUpUnacknowledged = true;
	}

	void Outbox::service(Clock::time_point now)
	{
		std::vector<Event> events;
		{
			std::lock_guard lock(mutex);
			for (auto& entry : followers)
			{
				Follower& follower = entry.second;
				std::vector<uint64_t> lost;
				while (!follower.pending.empty() && follower.pending.front().firstSent && now - *follower.pending.front().firstSent >= config.deadline)
				{
					giveUp(follower, follower.pending.front(), lost);
					follower.pending.pop_front();
					follower.inFlight -= follower.inFlight > 0 ? 1 : 0;
				}
				if (!lost.empty())
				{
					Event event{Event::Kind::Lost, follower.to.addressText()};
					event.reason = LossReason::Deadline;
					event.commands = std::move(lost);
					events.push_back(std::move(event));
				}
				if (!follower.bDown && now - follower.lastHeard > config.silentAfter)
				{
					follower.bDown = true;
					Counters::add(counters.followersDown);
					Event event{Event::Kind::Down, follower.to.addressText()};
					event.duration = duration_cast<milliseconds>(now - follower.lastHeard);
					events.push_back(std::move(event));
				}
				bool bLoss = false;
				std::size_t budget = std::max<std::size_t>(1, static_cast<std::size_t>(follower.window));
				// A hole below what the follower received is lost once a round trip has passed
				// since it was sent; anything else waits for the retransmission timeout.
				const auto holeAfter = microseconds(static_cast<int64_t>(std::max(granularity, follower.smoothed * 1.25)));
				const auto bDue = [&](const Pending& pending) {
					const bool bHole = serialLessOrEqual(pending.sequence, follower.highestReceived) && pending.transmissions == 1;
					return now - pending.lastSent >= (bHole ? holeAfter : timeoutFor(follower, pending));
				};
				for (std::size_t i = 0; i < follower.inFlight && budget > 0;)
				{
					if (!bDue(follower.pending[i]))
					{
						++i;
						continue;
					}
					// Neighbours that are due as well go again in the same envelope.
					const std::size_t count = packable(follower, i, std::min(budget, follower.inFlight - i), bDue);
					bLoss = bLoss || serialLessOrEqual(follower.recoveryPoint + 1, follower.pending[i + count - 1].sequence);
					transmit(follower, i, count, now);
					Counters::add(counters.retransmissions, count);
					budget -= count;
					i += count;
				}
				if (bLoss)
				{
					// Multiplicative decrease, once per window of data.
					follower.threshold = std::max<double>(follower.window / 2, config.minimumWindow);
					follower.window = follower.threshold;
					follower.recoveryPoint = follower.nextSequence - 1;
				}
				fillWindow(follower, now);
				if (now >= follower.nextHeartbeat)
				{
					scratch.clear();
					codec::encodeHeartbeat(follower.session, baseOf(follower), missingReceipts(follower, now), scratch);
					send(scratch, follower.to);
					Counters::add(counters.heartbeatsSent);
					follower.nextHeartbeat = now + config.heartbeatInterval;
				}
			}
			notifyLocked();
		}
		report(events);
	}

	void Outbox::report(std::vector<Event>& events)
	{
		if (!observer)
		{
			return;
		}
		for (Event& event : events)
		{
			switch (event.kind)
			{
			case Event::Kind::Down:
				observer->followerDown(event.address, event.duration);
				break;
			case Event::Kind::Up:
				observer->followerUp(event.address, event.duration, event.bRestarted);
				break;
			case Event::Kind::Lost:
				observer->commandsLost(event.address, event.commands, event.reason);
				break;
			case Event::Kind::Restored:
				observer->sessionRestored(event.address, event.duration, event.count);
				break;
			case Event::Kind::Applied:
				observer->commandApplied(event.address, event.commands.front(), event.receipt);
				break;
			}
		}
	}

	bool Outbox::allAcknowledgedLocked() const
	{
		return std::all_of(followers.begin(), followers.end(), [](const auto& entry) { return entry.second.pending.empty(); });
	}

	bool Outbox::allAppliedLocked() const
	{
		return std::all_of(followers.begin(), followers.end(), [](const auto& entry) { return entry.second.tracked.empty(); });
	}

	double Outbox::leastTimeout() const
	{
		return static_cast<double>(duration_cast<microseconds>(config.retransmitInterval).count());
	}

	double Outbox::mostTimeout() const
	{
		return std::max(leastTimeout(), static_cast<double>(duration_cast<microseconds>(config.maxRetransmitTimeout).count()));
	}

	void Outbox::notifyLocked()
	{
		if (bGaveUpUnacknowledged || allAcknowledgedLocked() || allAppliedLocked())
		{
			settled.notify_all();
		}
	}

	std::vector<FollowerState> Outbox::states() const
	{
		std::lock_guard lock(mutex);
		std::vector<FollowerState> result;
		for (const auto& [address, follower] : followers)
		{
			FollowerState state{follower.to.addressText(), follower.acknowledged, follower.nextSequence - 1, static_cast<uint32_t>(follower.pending.size()), follower.bDown};
			state.commandsAcknowledged = follower.acknowledgedCount;
			state.commandsApplied = follower.appliedCount;
			state.commandsLost = follower.lostCount;
			std::vector<uint32_t> samples(follower.samples.begin(), follower.samples.begin() + std::min(follower.sampleCount, follower.samples.size()));
			if (!samples.empty())
			{
				std::sort(samples.begin(), samples.end());
				state.roundTripP50 = samples[samples.size() / 2];
				state.roundTripP99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
			}
			state.retransmitTimeout = follower.timeout;
			state.window = static_cast<uint32_t>(follower.window);
			result.push_back(std::move(state));
		}
		return result;
	}

	std::vector<uint32_t> Outbox::addresses() const
	{
		std::lock_guard lock(mutex);
		std::vector<uint32_t> result;
		result.reserve(followers.size());
		for (const auto& [address, follower] : followers)
		{
			result.push_back(address);
		}
		return result;
	}

	bool Outbox::follows(uint32_t address) const
	{
		std::lock_guard lock(mutex);
		return followers.contains(address);
	}

	uint64_t Outbox::lastCommand() const
	{
		std::lock_guard lock(mutex);
		return commandCount;
	}

	std::vector<CommandFate> Outbox::fateOf(uint64_t command) const
	{
		std::lock_guard lock(mutex);
		std::vector<std::pair<uint32_t, CommandFate>> sent;
		for (const auto& [address, follower] : followers)
		{
			if (command < follower.firstFate || command - follower.firstFate >= follower.fates.size())
			{
				continue;
			}
			const Fate& fate = follower.fates[command - follower.firstFate];
			if (!fate.bSent)
			{
				continue;
			}
			sent.emplace_back(fate.sendPosition,
				CommandFate{follower.to.addressText(), fate.bAcknowledged, fate.applied.has_value(), fate.bLost, fate.applied.value_or(AppliedReceipt{})});
		}
		std::ranges::sort(sent, {}, &std::pair<uint32_t, CommandFate>::first);
		std::vector<CommandFate> result;
		result.reserve(sent.size());
		for (auto& [position, fate] : sent)
		{
			result.push_back(std::move(fate));
		}
		return result;
	}

	bool Outbox::waitUntilAcknowledged(std::chrono::milliseconds timeout)
	{
		std::unique_lock lock(mutex);
		settled.wait_for(lock, timeout, [this] { return bGaveUpUnacknowledged || allAcknowledgedLocked(); });
		return !bGaveUpUnacknowledged && allAcknowledgedLocked();
	}

	bool Outbox::waitUntilApplied(std::chrono::milliseconds timeout)
	{
		std::unique_lock lock(mutex);
		return settled.wait_for(lock, timeout, [this] { return allAppliedLocked(); });
	}
}
