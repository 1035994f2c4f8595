#include "Codec/Protocol.h"

#include "Codec/Report.h"

#include <array>
#include <cmath>

namespace quarn::codec
{
	namespace
	{
		struct CommandShape
		{
			CommandKind kind;
			std::string_view address;
			// Accepted type tags; animation and custom byte also accept a char.
			std::string_view tags;
			std::string_view alternativeTags;
		};

		constexpr std::string_view transformTags = "fffffffff";

		constexpr std::array<CommandShape, 12> shapes = {{
			{CommandKind::Play, "/quarn/play", "", ""},
			{CommandKind::Stop, "/quarn/stop", "", ""},
			{CommandKind::StartRecord, "/quarn/record/start", "", ""},
			{CommandKind::StopRecord, "/quarn/record/stop", "", ""},
			{CommandKind::SelectCamera, "/quarn/camera/select", "i", ""},
			{CommandKind::SelectCameraXR, "/quarn/camera/select_xr", "i", ""},
			{CommandKind::SelectLevel, "/quarn/level/select", "i", ""},
			{CommandKind::TriggerAnimation, "/quarn/animation/trigger", "i", "c"},
			{CommandKind::TriggerCustom, "/quarn/custom/byte", "i", "c"},
			{CommandKind::TriggerCustomInt, "/quarn/custom/int", "i", ""},
			{CommandKind::TriggerCustomEight, "/quarn/custom/eight", "h", ""},
			{CommandKind::TriggerCustomTransform, "/quarn/custom/transform", transformTags, ""},
		}};

		const CommandShape& shapeOf(CommandKind kind)
		{
			return shapes[static_cast<std::size_t>(kind)];
		}

		bool isPattern(std::string_view address)
		{
			return address.find_first_of("*?[]{}") != std::string_view::npos;
		}

		bool tagsMatch(const CommandShape& shape, std::string_view tags)
		{
			return tags == shape.tags || (!shape.alternativeTags.empty() && tags == shape.alternativeTags);
		}

		Decoded failure(MessageKind kind)
		{
			Decoded decoded;
			decoded.kind = kind;
			return decoded;
		}

		Decoded decodeCommand(const CommandShape& shape, const MessageView& message)
		{
			if (!tagsMatch(shape, message.tags))
			{
				return failure(MessageKind::WrongTypeTags);
			}
			Decoded decoded;
			decoded.kind = MessageKind::Command;
			decoded.command.kind = shape.kind;
			ArgumentReader reader(message);
			bool bRead = true;
			if (message.tags == "i" || message.tags == "c")
			{
				bRead = reader.int32(decoded.command.integer);
			}
			else if (message.tags == "h")
			{
				int64_t value = 0;
				bRead = reader.int64(value);
				decoded.command.eight = static_cast<uint64_t>(value);
			}
			else if (message.tags == transformTags)
			{
				for (int i = 0; i < 9 && bRead; ++i)
				{
					bRead = reader.float32(decoded.command.transform[i]);
				}
			}
			if (!bRead || !reader.atEnd())
			{
				return failure(MessageKind::Malformed);
			}
			for (const float value : decoded.command.transform.values)
			{
				if (!std::isfinite(value))
				{
					return failure(MessageKind::NonFinite);
				}
			}
			return decoded;
		}

		// Reads the "i" arguments into `targets` and a trailing "h" into `wide`.
		MessageKind readIntegers(const MessageView& message, std::string_view tags, uint32_t* const* targets, MessageKind success, int64_t* wide = nullptr)
		{
			if (message.tags != tags)
			{
				return MessageKind::WrongTypeTags;
			}
			ArgumentReader reader(message);
			int32_t value = 0;
			std::size_t target = 0;
			for (const char tag : tags)
			{
				if (tag == 'h')
				{
					if (!wide || !reader.int64(*wide))
					{
						return MessageKind::Malformed;
					}
					continue;
				}
				if (!reader.int32(value))
				{
					return MessageKind::Malformed;
				}
				*targets[target++] = static_cast<uint32_t>(value);
			}
			return reader.atEnd() ? success : MessageKind::Malformed;
		}
	}

	std::string_view addressOf(CommandKind kind)
	{
		return shapeOf(kind).address;
	}

	void encodeCommand(const Command& command, Bytes& out)
	{
		const CommandShape& shape = shapeOf(command.kind);
		OscWriter writer(out);
		writer.begin(shape.address, shape.tags);
		if (shape.tags == "i")
		{
			writer.int32(command.integer);
		}
		else if (shape.tags == "h")
		{
			writer.int64(static_cast<int64_t>(command.eight));
		}
		else if (shape.tags == transformTags)
		{
			for (int i = 0; i < 9; ++i)
			{
				writer.float32(command.transform[i]);
			}
		}
	}

	void encodeAcknowledgement(uint32_t session, uint32_t sequence, uint32_t instance, uint32_t window, uint32_t highest, Bytes& out)
	{
		OscWriter(out)
			.begin(acknowledgementAddress, "iiiii")
			.int32(static_cast<int32_t>(session))
			.int32(static_cast<int32_t>(sequence))
			.int32(static_cast<int32_t>(instance))
			.int32(static_cast<int32_t>(window))
			.int32(static_cast<int32_t>(highest));
	}

	void encodeHeartbeat(uint32_t session, uint32_t base, uint32_t receiptsFrom, Bytes& out)
	{
		OscWriter(out)
			.begin(heartbeatAddress, "iii")
			.int32(static_cast<int32_t>(session))
			.int32(static_cast<int32_t>(base))
			.int32(static_cast<int32_t>(receiptsFrom));
	}

	void encodeReject(uint32_t session, RejectReason reason, uint32_t delivered, uint32_t instance, Bytes& out)
	{
		OscWriter(out)
			.begin(rejectAddress, "iiii")
			.int32(static_cast<int32_t>(session))
			.int32(static_cast<int32_t>(reason))
			.int32(static_cast<int32_t>(delivered))
			.int32(static_cast<int32_t>(instance));
	}

	void encodeReceipt(const Receipt& receipt, Bytes& out)
	{
		OscWriter(out)
			.begin(receiptAddress, "iiiiiiiih")
			.int32(static_cast<int32_t>(receipt.session))
			.int32(static_cast<int32_t>(receipt.sequence))
			.int32(static_cast<int32_t>(receipt.outcome))
			.int32(static_cast<int32_t>(receipt.frame))
			.int32(static_cast<int32_t>(receipt.hours))
			.int32(static_cast<int32_t>(receipt.minutes))
			.int32(static_cast<int32_t>(receipt.seconds))
			.int32(static_cast<int32_t>(receipt.frames))
			.int64(receipt.latenessMicros);
	}

	void encodeTimecodeRequest(Bytes& out)
	{
		OscWriter(out).begin(timecodeRequestAddress, "");
	}

	void encodeTimecodeAnswer(const Timecode& timecode, Bytes& out)
	{
		OscWriter(out)
			.begin(timecodeAnswerAddress, "iiiif")
			.int32(static_cast<int32_t>(timecode.hours()))
			.int32(static_cast<int32_t>(timecode.minutes()))
			.int32(static_cast<int32_t>(timecode.seconds()))
			.int32(static_cast<int32_t>(timecode.frames()))
			.float32(timecode.rate().framesPerSecond());
	}

	void encodeEnvelope(uint32_t session, uint32_t sequence, uint32_t base, int64_t sentMicros, const Bytes& commandMessage, Bytes& out)
	{
		const Bytes* const message = &commandMessage;
		encodeEnvelope(session, sequence, base, sentMicros, std::span<const Bytes* const>(&message, 1), out);
	}

	void encodeEnvelope(uint32_t session, uint32_t sequence, uint32_t base, int64_t sentMicros, std::span<const Bytes* const> commandMessages, Bytes& out)
	{
		beginBundle(out);
		Bytes headerBytes;
		headerBytes.reserve(40);
		OscWriter(headerBytes)
			.begin(sequenceAddress, "iiih")
			.int32(static_cast<int32_t>(session))
			.int32(static_cast<int32_t>(sequence))
			.int32(static_cast<int32_t>(base))
			.int64(sentMicros);
		appendBundleElement(out, headerBytes.data(), headerBytes.size());
		for (const Bytes* message : commandMessages)
		{
			appendBundleElement(out, message->data(), message->size());
		}
	}

	Decoded decodeMessage(const uint8_t* data, std::size_t size)
	{
		MessageView message;
		if (!parseMessage(data, size, message))
		{
			return failure(MessageKind::Malformed);
		}
		if (isPattern(message.address))
		{
			return failure(MessageKind::AddressPattern);
		}
		for (const CommandShape& shape : shapes)
		{
			if (message.address == shape.address)
			{
				return decodeCommand(shape, message);
			}
		}
		Decoded decoded;
		if (message.address == sequenceAddress)
		{
			uint32_t* const targets[] = {&decoded.session, &decoded.sequence, &decoded.base};
			decoded.kind = readIntegers(message, "iiih", targets, MessageKind::Sequence, &decoded.sentMicros);
			return decoded;
		}
		if (message.address == acknowledgementAddress)
		{
			uint32_t* const targets[] = {&decoded.session, &decoded.sequence, &decoded.instance, &decoded.window, &decoded.base};
			decoded.kind = readIntegers(message, "iiiii", targets, MessageKind::Acknowledgement);
			return decoded;
		}
		if (message.address == heartbeatAddress)
		{
			uint32_t* const targets[] = {&decoded.session, &decoded.base, &decoded.sequence};
			decoded.kind = readIntegers(message, "iii", targets, MessageKind::Heartbeat);
			return decoded;
		}
		if (message.address == rejectAddress)
		{
			uint32_t reason = 0;
			uint32_t* const targets[] = {&decoded.session, &reason, &decoded.sequence, &decoded.instance};
			decoded.kind = readIntegers(message, "iiii", targets, MessageKind::Reject);
			if (decoded.kind == MessageKind::Reject && reason != static_cast<uint32_t>(RejectReason::Unknown) && reason != static_cast<uint32_t>(RejectReason::Retired))
			{
				return failure(MessageKind::Malformed);
			}
			decoded.reason = static_cast<RejectReason>(reason);
			return decoded;
		}
		if (message.address == receiptAddress)
		{
			Receipt& receipt = decoded.receipt;
			uint32_t outcome = 0;
			uint32_t* const targets[] = {&receipt.session, &receipt.sequence, &outcome, &receipt.frame, &receipt.hours, &receipt.minutes, &receipt.seconds, &receipt.frames};
			decoded.kind = readIntegers(message, "iiiiiiiih", targets, MessageKind::Receipt, &receipt.latenessMicros);
			if (decoded.kind == MessageKind::Receipt && outcome >= outcomeCount)
			{
				return failure(MessageKind::Malformed);
			}
			receipt.outcome = static_cast<Outcome>(outcome);
			return decoded;
		}
		if (message.address == reportAddress)
		{
			switch (decodeReport(message, decoded.report))
			{
			case ReportDecoding::Decoded:
				decoded.kind = MessageKind::Report;
				return decoded;
			case ReportDecoding::WrongTypeTags:
				return failure(MessageKind::WrongTypeTags);
			case ReportDecoding::Malformed:
				return failure(MessageKind::Malformed);
			}
		}
		if (message.address == timecodeRequestAddress)
		{
			decoded.kind = readIntegers(message, "", nullptr, MessageKind::TimecodeRequest);
			return decoded;
		}
		if (message.address == timecodeAnswerAddress)
		{
			if (message.tags != "iiiif")
			{
				return failure(MessageKind::WrongTypeTags);
			}
			ArgumentReader reader(message);
			int32_t fields[4] = {};
			for (int32_t& field : fields)
			{
				if (!reader.int32(field))
				{
					return failure(MessageKind::Malformed);
				}
			}
			if (!reader.float32(decoded.framesPerSecond) || !reader.atEnd())
			{
				return failure(MessageKind::Malformed);
			}
			decoded.kind = MessageKind::TimecodeAnswer;
			decoded.hours = static_cast<uint32_t>(fields[0]);
			decoded.minutes = static_cast<uint32_t>(fields[1]);
			decoded.seconds = static_cast<uint32_t>(fields[2]);
			decoded.frames = static_cast<uint32_t>(fields[3]);
			return decoded;
		}
		return failure(MessageKind::UnknownAddress);
	}
}
