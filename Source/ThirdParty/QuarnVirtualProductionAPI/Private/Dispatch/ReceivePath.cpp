#include "Dispatch/ReceivePath.h"

#include <algorithm>
#include <limits>

namespace quarn::dispatch
{
	using codec::MessageKind;

	namespace
	{
		// Bundles inside bundles are legal OSC; nobody we talk to nests this deep.
		constexpr int maxBundleDepth = 4;
		// A command raised later than this after the master sent it counts as late.
		constexpr int64_t lateMicros = 100000;
		// At most one reject per address this often: stale retransmissions come in floods.
		constexpr auto rejectInterval = std::chrono::milliseconds(20);

		// The send time comes off the wire: any value, even one whose distance from now
		// does not fit, gives a lateness (saturated) and never an overflow.
		int64_t latenessSince(int64_t sentMicros)
		{
			int64_t lateness = 0;
			if (__builtin_sub_overflow(wallMicros(), sentMicros, &lateness))
			{
				return sentMicros < 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
			}
			return lateness;
		}
	}

	int64_t wallMicros()
	{
		return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
	}

	ReceivePath::ReceivePath(QuarnVirtualProductionServerDelegate& serverDelegate, ReceiveSink& receiveSink, Counters& nodeCounters, ReceiveSettings receiveSettings)
		: delegate(serverDelegate)
		, sink(receiveSink)
		, counters(nodeCounters)
		, settings(receiveSettings)
	{
	}

	void ReceivePath::handle(const uint8_t* data, std::size_t size, const transport::Endpoint& from)
	{
		handleElement(data, size, from, 0);
	}

	void ReceivePath::handleElement(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth)
	{
		if (codec::isBundle(data, size))
		{
			handleBundle(data, size, from, depth);
			return;
		}
		handlePlain(codec::decodeMessage(data, size), from);
	}

	void ReceivePath::handleBundle(const uint8_t* data, std::size_t size, const transport::Endpoint& from, int depth)
	{
		if (depth >= maxBundleDepth)
		{
			Counters::add(counters.malformed);
			return;
		}
		bool bFirst = true;
		bool bEnvelope = false;
		codec::Decoded sequence;
		bool bAnyElement = false;
		const bool bFramed = codec::forEachBundleElement(data, size, [&](const uint8_t* element, std::size_t elementSize) {
			bAnyElement = true;
			if (bFirst)
			{
				bFirst = false;
				if (!codec::isBundle(element, elementSize))
				{
					codec::Decoded first = codec::decodeMessage(element, elementSize);
					if (first.kind == MessageKind::Sequence)
					{
						bEnvelope = true;
						sequence = first;
						return true;
					}
					handlePlain(first, from);
					return true;
				}
			}
			if (!bEnvelope)
			{
				handleElement(element, elementSize, from, depth + 1);
			}
			return true;
		});
		if (!bFramed || !bAnyElement)
		{
			// An envelope is all or nothing: its numbering is only trusted when the framing is.
			Counters::add(counters.malformed);
			return;
		}
		if (bEnvelope)
		{
			handleEnvelope(sequence, data, size, from);
		}
	}

	bool ReceivePath::admits(const transport::Endpoint& from) const
	{
		return allowedMasters.empty() || std::find(allowedMasters.begin(), allowedMasters.end(), from.address) != allowedMasters.end();
	}

	bool ReceivePath::handleEnvelope(const codec::Decoded& sequence, const uint8_t* data, std::size_t size, const transport::Endpoint& from)
	{
		if (!admits(from))
		{
			// No session state and no acknowledgement for a host that may not command.
			Counters::add(counters.notAllowed);
			return false;
		}
		SenderState* sender = senderFor(from, sequence.session, sequence.base);
		if (!sender)
		{
			return false;
		}
		const uint64_t key = keyOf(from);
		heard(*sender, from);
		skipTo(*sender, sequence.base);
		sender->bAcknowledgementDue = true;
		uint32_t number = sequence.sequence;
		bool bHeader = true;
		codec::forEachBundleElement(data, size, [&](const uint8_t* element, std::size_t elementSize) {
			if (bHeader)
			{
				bHeader = false;
				return true;
			}
			std::optional<codec::Command> command;
			if (codec::isBundle(element, elementSize))
			{
				Counters::add(counters.malformed);
			}
			else
			{
				command = commandOf(codec::decodeMessage(element, elementSize));
			}
			accept(*sender, key, number++, command, sequence.sentMicros);
			return true;
		});
		drain(*sender, key);
		return true;
	}

	void ReceivePath::handleHeartbeat(const codec::Decoded& message, const transport::Endpoint& from)
	{
		if (!admits(from))
		{
			// A heartbeat opens a session like an envelope does: a host that may not command gets
			// no session, no acknowledgement and no report.
			Counters::add(counters.notAllowed);
			return;
		}
		SenderState* sender = senderFor(from, message.session, message.base);
		if (!sender)
		{
			return;
		}
		heard(*sender, from);
		skipTo(*sender, message.base);
		drain(*sender, keyOf(from));
		if (message.sequence != 0)
		{
			resendReceipts(keyOf(from), message.session, message.sequence);
		}
		// The acknowledgement is this follower's half of the heartbeat.
		sender->bAcknowledgementDue = true;
		sink.masterHeartbeat(from);
	}

	void ReceivePath::handlePlain(const codec::Decoded& message, const transport::Endpoint& from)
	{
		switch (message.kind)
		{
		case MessageKind::TimecodeRequest:
			scratch.clear();
			codec::encodeTimecodeAnswer(delegate.getTimecode(), scratch);
			sink.send(scratch, from);
			Counters::add(counters.timecodeRequestsAnswered);
			return;
		case MessageKind::Acknowledgement:
			Counters::add(counters.acknowledgementsReceived);
			sink.acknowledged(from, message);
			return;
		case MessageKind::Heartbeat:
			handleHeartbeat(message, from);
			return;
		case MessageKind::Reject:
			sink.rejected(from, message);
			return;
		case MessageKind::Receipt:
			sink.receiptArrived(from, message.receipt);
			return;
		case MessageKind::Report:
			Counters::add(sink.reportArrived(from, message.report) ? counters.reportsReceived : counters.notAllowed);
			return;
		case MessageKind::TimecodeAnswer:
			if (!sink.timecodeAnswered(from, message))
			{
				Counters::add(counters.unexpected);
			}
			return;
		default:
			if (const std::optional<codec::Command> command = commandOf(message))
			{
				if (!admits(from))
				{
					Counters::add(counters.notAllowed);
					return;
				}
				deliver(*command);
			}
		}
	}

	std::optional<codec::Command> ReceivePath::commandOf(const codec::Decoded& message)
	{
		switch (message.kind)
		{
		case MessageKind::Command:
			return message.command;
		case MessageKind::UnknownAddress:
			Counters::add(counters.unknownAddress);
			break;
		case MessageKind::AddressPattern:
			Counters::add(counters.addressPattern);
			break;
		case MessageKind::WrongTypeTags:
			Counters::add(counters.wrongTypeTags);
			break;
		case MessageKind::Malformed:
			Counters::add(counters.malformed);
			break;
		case MessageKind::NonFinite:
			Counters::add(counters.nonFinite);
			break;
		default:
			// Sequence headers out of place, timecode traffic inside an envelope, answers.
			Counters::add(counters.unexpected);
			break;
		}
		return std::nullopt;
	}

	ReceivePath::SenderState* ReceivePath::senderFor(const transport::Endpoint& from, uint32_t session, uint32_t base)
	{
		auto found = senders.find(keyOf(from));
		if (found != senders.end() && found->second.session == session)
		{
			return &found->second;
		}
		if (session == 0)
		{
			Counters::add(counters.unexpected);
			return nullptr;
		}
		if (found != senders.end())
		{
			for (const Retired& retired : found->second.retired)
			{
				if (retired.session == session)
				{
					reject(from, session, codec::RejectReason::Retired, retired.delivered);
					return nullptr;
				}
			}
		}
		// Only a session at its start is joined: joining one mid-stream would raise commands
		// that this engine, or an earlier run of it, may already have raised.
		if (base != 1)
		{
			reject(from, session, codec::RejectReason::Unknown, 0);
			return nullptr;
		}
		if (found != senders.end())
		{
			SenderState& sender = found->second;
			sender.retired[sender.nextRetired] = Retired{sender.session, sender.expected - 1};
			sender.nextRetired = (sender.nextRetired + 1) % sender.retired.size();
			sender.session = session;
			sender.expected = base;
			sender.waiting.clear();
			return &sender;
		}
		if (senders.size() >= maxSenders)
		{
			senders.erase(senders.begin());
		}
		SenderState& sender = senders[keyOf(from)];
		sender.session = session;
		sender.expected = base;
		sender.lastHeard = Clock::now();
		return &sender;
	}

	void ReceivePath::reject(const transport::Endpoint& to, uint32_t session, codec::RejectReason reason, uint32_t delivered)
	{
		Counters::add(counters.sessionsRejected);
		const Clock::time_point now = Clock::now();
		auto [last, bNew] = lastReject.try_emplace(keyOf(to), now);
		if (!bNew && now - last->second < rejectInterval)
		{
			return;
		}
		last->second = now;
		if (lastReject.size() > maxSenders)
		{
			lastReject.clear();
		}
		scratch.clear();
		codec::encodeReject(session, reason, delivered, settings.instance, scratch);
		sink.send(scratch, to);
	}

	void ReceivePath::heard(SenderState& sender, const transport::Endpoint& from)
	{
		const Clock::time_point now = Clock::now();
		if (sender.bSilent)
		{
			sender.bSilent = false;
			sink.masterBack(from, std::chrono::duration_cast<std::chrono::milliseconds>(now - sender.lastHeard));
		}
		sender.lastHeard = now;
	}

	void ReceivePath::checkSilence(Clock::time_point now)
	{
		for (auto& [key, sender] : senders)
		{
			if (!sender.bSilent && now - sender.lastHeard > settings.silentAfter)
			{
				sender.bSilent = true;
				sink.masterSilent(endpointOf(key));
			}
		}
	}

	void ReceivePath::accept(SenderState& sender, uint64_t key, uint32_t sequence, std::optional<codec::Command> command, int64_t sentMicros)
	{
		if (serialLess(sequence, sender.expected))
		{
			Counters::add(counters.duplicatesDropped);
			return;
		}
		if (sequence == sender.expected)
		{
			if (command)
			{
				deliverReliable(*command, Delivery{key, sender.session, sequence, sentMicros});
			}
			++sender.expected;
			return;
		}
		if (sender.waiting.size() >= maxWaiting)
		{
			return;
		}
		if (!sender.waiting.emplace(sequence, Waiting{command, sentMicros}).second)
		{
			Counters::add(counters.duplicatesDropped);
		}
	}

	void ReceivePath::skipTo(SenderState& sender, uint32_t base)
	{
		// The master gave up on everything before `base` and reported it lost: raising any of
		// it now would contradict that report.
		while (serialLess(sender.expected, base))
		{
			auto next = sender.waiting.begin();
			if (next == sender.waiting.end() || !serialLess(next->first, base))
			{
				sender.expected = base;
				break;
			}
			sender.expected = next->first + 1;
			sender.waiting.erase(next);
		}
	}

	void ReceivePath::drain(SenderState& sender, uint64_t key)
	{
		for (auto next = sender.waiting.begin(); next != sender.waiting.end() && !serialLess(sender.expected, next->first); next = sender.waiting.begin())
		{
			if (next->first == sender.expected)
			{
				if (next->second.command)
				{
					deliverReliable(*next->second.command, Delivery{key, sender.session, next->first, next->second.sentMicros});
				}
				++sender.expected;
			}
			sender.waiting.erase(next);
		}
	}

	void ReceivePath::deliverReliable(const codec::Command& command, const Delivery& delivery)
	{
		const int64_t lateness = latenessSince(delivery.sentMicros);
		const transport::Endpoint master = endpointOf(delivery.key);
		const DeliveryTicket ticket{master.address, master.port, delivery.session, delivery.sequence, delivery.sentMicros, codec::addressOf(command.kind).data()};
		if (settings.maxLateness.count() > 0 && lateness > std::chrono::duration_cast<std::chrono::microseconds>(settings.maxLateness).count())
		{
			Counters::add(counters.commandsStale);
			receipts.emplace_back(delivery.key, codec::Receipt{delivery.session, delivery.sequence, codec::Outcome::Stale, 0, 0, 0, 0, 0, lateness});
			remember(delivery.key, receipts.back().second);
			return;
		}
		if (lateness > lateMicros)
		{
			Counters::add(counters.commandsLate);
		}
		deliver(command);
		if (!sink.tracked(ticket))
		{
			receipts.emplace_back(delivery.key, codec::Receipt{delivery.session, delivery.sequence, codec::Outcome::Raised, 0, 0, 0, 0, 0, lateness});
			remember(delivery.key, receipts.back().second);
		}
	}

	void ReceivePath::encodeReceiptFor(const DeliveryTicket& ticket, CommandOutcome outcome, uint32_t frame, const Timecode& timecode, codec::Bytes& out)
	{
		const codec::Receipt receipt{ticket.session, ticket.sequence, static_cast<codec::Outcome>(outcome), frame, timecode.hours(), timecode.minutes(), timecode.seconds(), timecode.frames(),
			latenessSince(ticket.sentMicros)};
		codec::encodeReceipt(receipt, out);
		remember(keyOf(transport::Endpoint{ticket.master, ticket.masterPort}), receipt);
	}

	void ReceivePath::remember(uint64_t key, const codec::Receipt& receipt)
	{
		std::lock_guard lock(keptMutex);
		std::deque<codec::Receipt>& list = kept[key];
		list.push_back(receipt);
		if (list.size() > keptReceipts)
		{
			list.pop_front();
		}
		if (kept.size() > maxSenders)
		{
			kept.erase(kept.begin());
		}
	}

	void ReceivePath::resendReceipts(uint64_t key, uint32_t session, uint32_t from)
	{
		std::lock_guard lock(keptMutex);
		const auto found = kept.find(key);
		if (found == kept.end())
		{
			return;
		}
		// A heartbeat's worth: the next one asks for what is still missing.
		constexpr std::size_t perHeartbeat = 1024;
		std::size_t count = 0;
		for (const codec::Receipt& receipt : found->second)
		{
			if (receipt.session == session && !serialLess(receipt.sequence, from) && count++ < perHeartbeat)
			{
				receipts.emplace_back(key, receipt);
			}
		}
	}

	void ReceivePath::flushAcknowledgements()
	{
		for (auto& [key, sender] : senders)
		{
			if (!sender.bAcknowledgementDue)
			{
				continue;
			}
			sender.bAcknowledgementDue = false;
			scratch.clear();
			const uint32_t window = static_cast<uint32_t>(maxWaiting - sender.waiting.size());
			const uint32_t highest = sender.waiting.empty() ? sender.expected - 1 : sender.waiting.rbegin()->first;
			codec::encodeAcknowledgement(sender.session, sender.expected - 1, settings.instance, window, highest, scratch);
			sink.send(scratch, endpointOf(key));
		}
		// Receipts to one master go in bundles; a burst's receipts cost a few datagrams.
		std::size_t first = 0;
		while (first < receipts.size())
		{
			const uint64_t key = receipts[first].first;
			scratch.clear();
			codec::beginBundle(scratch);
			std::size_t count = 0;
			codec::Bytes element;
			for (std::size_t i = first; i < receipts.size() && count < receiptsPerDatagram && receipts[i].first == key; ++i, ++count)
			{
				element.clear();
				codec::encodeReceipt(receipts[i].second, element);
				codec::appendBundleElement(scratch, element.data(), element.size());
			}
			sink.send(scratch, endpointOf(key));
			first += count;
		}
		receipts.clear();
	}

	void ReceivePath::deliver(const codec::Command& command)
	{
		Counters::add(counters.commandsDelivered);
		switch (command.kind)
		{
		case codec::CommandKind::Play:
			delegate.play();
			break;
		case codec::CommandKind::Stop:
			delegate.stop();
			break;
		case codec::CommandKind::StartRecord:
			delegate.startRecord();
			break;
		case codec::CommandKind::StopRecord:
			delegate.stopRecord();
			break;
		case codec::CommandKind::SelectCamera:
			delegate.selectCamera(command.integer);
			break;
		case codec::CommandKind::SelectCameraXR:
			delegate.selectCameraXR(command.integer);
			break;
		case codec::CommandKind::SelectLevel:
			delegate.selectLevel(command.integer);
			break;
		case codec::CommandKind::TriggerAnimation:
			delegate.triggerAnimation(static_cast<char>(command.integer & 0xff));
			break;
		case codec::CommandKind::TriggerCustom:
			delegate.triggerCustom(static_cast<uint8_t>(command.integer & 0xff));
			break;
		case codec::CommandKind::TriggerCustomInt:
			delegate.triggerCustomInt(command.integer);
			break;
		case codec::CommandKind::TriggerCustomEight:
			delegate.triggerCustomEight(QuarnEightBytes{command.eight});
			break;
		case codec::CommandKind::TriggerCustomTransform:
			delegate.triggerCustomTransform(command.transform);
			break;
		}
	}
}
