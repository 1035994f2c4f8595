// The address space of engine-to-engine traffic (see docs/protocol.md).

#pragma once

#include "Codec/Osc.h"
#include "QuarnTypes.h"

#include <cstdint>
#include <string_view>

namespace quarn::codec
{
	enum class CommandKind : uint8_t
	{
		Play,
		Stop,
		StartRecord,
		StopRecord,
		SelectCamera,
		SelectCameraXR,
		SelectLevel,
		TriggerAnimation,
		TriggerCustom,
		TriggerCustomInt,
		TriggerCustomEight,
		TriggerCustomTransform,
	};

	struct Command
	{
		CommandKind kind = CommandKind::Play;
		// Index, int value, or the byte of animation and custom byte (low 8 bits).
		int32_t integer = 0;
		uint64_t eight = 0;
		QuarnTransform<float> transform;
	};

	inline constexpr std::string_view sequenceAddress = "/quarn/seq";
	inline constexpr std::string_view acknowledgementAddress = "/quarn/ack";
	inline constexpr std::string_view timecodeRequestAddress = "/quarn/timecode/get";
	inline constexpr std::string_view timecodeAnswerAddress = "/quarn/timecode";

	std::string_view addressOf(CommandKind kind);

	void encodeCommand(const Command& command, Bytes& out);
	void encodeAcknowledgement(uint32_t session, uint32_t sequence, Bytes& out);
	void encodeTimecodeRequest(Bytes& out);
	void encodeTimecodeAnswer(const Timecode& timecode, Bytes& out);
	// Envelope bundle: "/quarn/seq" session, sequence, base, then the encoded command message.
	void encodeEnvelope(uint32_t session, uint32_t sequence, uint32_t base, const Bytes& commandMessage, Bytes& out);

	enum class MessageKind : uint8_t
	{
		Command,
		Sequence,
		Acknowledgement,
		TimecodeRequest,
		TimecodeAnswer,
		UnknownAddress,
		AddressPattern,
		WrongTypeTags,
		Malformed,
		// A well-formed transform holding NaN or infinity: never handed to an engine.
		NonFinite,
	};

	struct Decoded
	{
		MessageKind kind = MessageKind::Malformed;
		Command command;
		// Sequence: session, sequence, base. Acknowledgement: session, sequence.
		uint32_t session = 0;
		uint32_t sequence = 0;
		uint32_t base = 0;
		// Timecode answer.
		uint32_t hours = 0;
		uint32_t minutes = 0;
		uint32_t seconds = 0;
		uint32_t frames = 0;
		float framesPerSecond = 0.0f;
	};

	// Classifies one message. Exact address match only: an address holding any of *?[]{}
	// is a pattern and fires nothing. Type tags must match exactly; nothing is coerced.
	Decoded decodeMessage(const uint8_t* data, std::size_t size);
}
