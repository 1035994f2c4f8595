// The address space of engine-to-engine traffic (see docs/protocol.md).

#pragma once

#include "Codec/Osc.h"
#include "EngineReport.h"
#include "QuarnTypes.h"

#include <cstdint>
#include <span>
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
	inline constexpr std::string_view heartbeatAddress = "/quarn/heartbeat";
	inline constexpr std::string_view rejectAddress = "/quarn/reject";
	inline constexpr std::string_view receiptAddress = "/quarn/receipt";

	// Why a follower refused a master's session.
	enum class RejectReason : uint8_t
	{
		// No state for it and it is not at its start: this follower restarted or forgot it.
		Unknown = 1,
		// Another session from the same address replaced it.
		Retired = 2,
	};

	// What became of a command on the follower; travels in receipts.
	enum class Outcome : uint8_t
	{
		Raised = 0,
		Master = 1,
		Disabled = 2,
		RunningAsGame = 3,
		SubsystemGone = 4,
		Stale = 5,
	};
	inline constexpr uint8_t outcomeCount = 6;

	struct Receipt
	{
		uint32_t session = 0;
		uint32_t sequence = 0;
		Outcome outcome = Outcome::Raised;
		uint32_t frame = 0;
		uint32_t hours = 0;
		uint32_t minutes = 0;
		uint32_t seconds = 0;
		uint32_t frames = 0;
		// From the master's send time to the moment the follower applied or dropped it.
		int64_t latenessMicros = 0;
	};

	std::string_view addressOf(CommandKind kind);

	void encodeCommand(const Command& command, Bytes& out);
	// `instance` names the follower's run, so the master can tell a restart; `window` is how
	// many more commands it can hold out of order; `highest` the highest command number it
	// received, so the master can resend the holes below it without waiting for a timeout.
	void encodeAcknowledgement(uint32_t session, uint32_t sequence, uint32_t instance, uint32_t window, uint32_t highest, Bytes& out);
	// Master to follower: "this session is alive; its oldest unacknowledged command is `base`;
	// receipts from `receiptsFrom` on never arrived" (0: none missing).
	void encodeHeartbeat(uint32_t session, uint32_t base, uint32_t receiptsFrom, Bytes& out);
	// Follower to master: its datagrams for `session` were dropped; `delivered` is the last
	// command of it that was handed on (retired sessions only).
	void encodeReject(uint32_t session, RejectReason reason, uint32_t delivered, uint32_t instance, Bytes& out);
	void encodeReceipt(const Receipt& receipt, Bytes& out);
	void encodeTimecodeRequest(Bytes& out);
	void encodeTimecodeAnswer(const Timecode& timecode, Bytes& out);
	// Envelope bundle: "/quarn/seq" session, sequence, base and the master's send time (wall
	// clock, microseconds since the epoch), then the encoded command message.
	void encodeEnvelope(uint32_t session, uint32_t sequence, uint32_t base, int64_t sentMicros, const Bytes& commandMessage, Bytes& out);
	// The same with several command messages, numbered `sequence`, `sequence` + 1, ... in order.
	void encodeEnvelope(uint32_t session, uint32_t sequence, uint32_t base, int64_t sentMicros, std::span<const Bytes* const> commandMessages, Bytes& out);

	enum class MessageKind : uint8_t
	{
		Command,
		Sequence,
		Acknowledgement,
		TimecodeRequest,
		TimecodeAnswer,
		Heartbeat,
		Reject,
		Receipt,
		Report,
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
		// Sequence: session, sequence, base, sentMicros. Acknowledgement: session, sequence,
		// instance, window, base (the highest received). Heartbeat: session, base, sequence
		// (receipts missing from). Reject: session, reason, sequence
		// (delivered), instance.
		uint32_t session = 0;
		uint32_t sequence = 0;
		uint32_t base = 0;
		int64_t sentMicros = 0;
		uint32_t instance = 0;
		uint32_t window = 0;
		RejectReason reason = RejectReason::Unknown;
		Receipt receipt;
		EngineReport report;
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
