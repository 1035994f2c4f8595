#include "Dispatch/ReceivePath.h"

#include <algorithm>

namespace quarn::dispatch
{
	using codec::MessageKind;

	namespace
	{
		// Bundles inside bundles are legal OSC; nobody we talk to nests this deep.
		constexpr int maxBundleDepth = 4;
	}

	ReceivePath::ReceivePath(QuarnVirtualProductionServerDelegate& serverDelegate, ReceiveSink& receiveSink, Counters& nodeCounters)
		: delegate(serverDelegate), sink(receiveSink), counters(nodeCounters)
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
			Counters::add(counters.unexpected);
			return false;
		}
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
			accept(*sender, number++, command);
			return true;
		});
		drain(*sender);
		return true;
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
			sink.acknowledged(from, message.session, message.sequence);
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
		if (found != senders.end())
		{
			SenderState& sender = found->second;
			if (session == 0 || std::find(sender.retired.begin(), sender.retired.end(), session) != sender.retired.end())
			{
				return nullptr;
			}
			sender.retired[sender.nextRetired] = sender.session;
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
		// A new session, or this engine restarted mid-session: start at the master's oldest
		// unacknowledged command.
		sender.expected = base;
		return &sender;
	}

	void ReceivePath::accept(SenderState& sender, uint32_t sequence, std::optional<codec::Command> command)
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
				deliver(*command);
			}
			++sender.expected;
			return;
		}
		if (sender.waiting.size() >= maxWaiting)
		{
			return;
		}
		if (!sender.waiting.emplace(sequence, command).second)
		{
			Counters::add(counters.duplicatesDropped);
		}
	}

	void ReceivePath::skipTo(SenderState& sender, uint32_t base)
	{
		// The master gave up on everything before `base`: deliver what arrived of it, in order.
		while (serialLess(sender.expected, base))
		{
			auto next = sender.waiting.begin();
			if (next == sender.waiting.end() || !serialLess(next->first, base))
			{
				sender.expected = base;
				break;
			}
			if (next->second)
			{
				deliver(*next->second);
			}
			sender.expected = next->first + 1;
			sender.waiting.erase(next);
		}
	}

	void ReceivePath::drain(SenderState& sender)
	{
		for (auto next = sender.waiting.begin(); next != sender.waiting.end() && !serialLess(sender.expected, next->first); next = sender.waiting.begin())
		{
			if (next->first == sender.expected)
			{
				if (next->second)
				{
					deliver(*next->second);
				}
				++sender.expected;
			}
			sender.waiting.erase(next);
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
			codec::encodeAcknowledgement(sender.session, sender.expected - 1, scratch);
			sink.send(scratch, transport::Endpoint{static_cast<uint32_t>(key >> 16), static_cast<uint16_t>(key & 0xffff)});
		}
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
