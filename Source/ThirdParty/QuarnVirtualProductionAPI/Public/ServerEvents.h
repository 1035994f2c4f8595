// What a node tells its owner about followers, masters and the fate of each command.

#pragma once

#include "EngineReport.h"
#include "QuarnTypes.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn
{
	// What a follower did with a command it received.
	enum class CommandOutcome : uint8_t
	{
		Raised,
		// Not raised: the engine is a master itself.
		Master,
		// Not raised: multi-engine is disabled on the follower.
		Disabled,
		// Not raised: play and stop are ignored when the engine runs as a game.
		RunningAsGame,
		// Not raised: the subsystem that would raise it no longer exists.
		SubsystemGone,
		// Not raised: it arrived later than the follower's maximum lateness.
		Stale,
	};

	// "raised", "master", "disabled", "running as a game", "subsystem gone", "stale".
	const char* outcomeText(CommandOutcome outcome);

	struct AppliedReceipt
	{
		CommandOutcome outcome = CommandOutcome::Raised;
		// The follower's engine frame and timecode when it applied the command; zero when
		// the follower has no engine loop around its node.
		uint32_t frame = 0;
		uint32_t hours = 0;
		uint32_t minutes = 0;
		uint32_t seconds = 0;
		uint32_t frames = 0;
		// From the master's broadcast to the follower applying it, on the two wall clocks.
		std::chrono::microseconds lateness{0};
	};

	enum class LossReason : uint8_t
	{
		// The follower acknowledged them, then restarted before applying them.
		Restarted,
		// Unacknowledged at the deadline after their first transmission.
		Deadline,
		// More commands waited for this follower than a node keeps.
		Overflow,
	};

	// "restarted", "deadline", "overflow".
	const char* lossText(LossReason reason);

	// The fate of one command at one follower, as far as the master knows it.
	struct CommandFate
	{
		std::string address;
		bool acknowledged = false;
		bool applied = false;
		bool lost = false;
		// Meaningful when `applied`.
		AppliedReceipt receipt;
	};

	// One timecode request of the master's probe and its answer: when it left and when the
	// answer came back, on the master's wall clock (microseconds since the epoch).
	struct TimecodeSample
	{
		int64_t sentMicros = 0;
		int64_t receivedMicros = 0;
		Timecode timecode{FrameRate()};
	};

	// Calls come on the node's own threads, never while it holds a lock; keep them short.
	// Commands are numbered by the master from 1 in the order they were broadcast.
	class ServerObserver
	{
	public:
		// Master: no datagram from this follower for `silentFor`, command in flight or not.
		virtual void followerDown(const std::string& address, std::chrono::milliseconds silentFor);
		// Master: a follower that was down, or that restarted, answers again.
		virtual void followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted);
		// Master: commands this follower will never apply. Never sent again.
		virtual void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, LossReason reason);
		// Master: the follower dropped this master's session (another sender replaced it);
		// a new one carries the `resent` commands it had not received. `gap` runs from the
		// last acknowledgement in the old session.
		virtual void sessionRestored(const std::string& address, std::chrono::milliseconds gap, uint32_t resent);
		// Master: a follower's applied receipt for a command.
		virtual void commandApplied(const std::string& address, uint64_t command, const AppliedReceipt& receipt);
		// Master: a follower's report of its role and statuses, sent when they change and with
		// every answer to a heartbeat.
		virtual void engineReported(const std::string& address, const EngineReport& report);
		// Master: a follower answered the timecode probe (ServerConfig::timecodeProbeInterval).
		virtual void timecodeSampled(const std::string& address, const TimecodeSample& sample);
		// Follower: a master that sent commands or heartbeats went silent, and came back.
		virtual void masterSilent(const std::string& address);
		virtual void masterBack(const std::string& address, std::chrono::milliseconds silentFor);

	protected:
		~ServerObserver() = default;
	};

	// A reliable command the follower's node handed to its delegate. When the node has a
	// delivery tracker, the tracker's owner reports what became of it with reportApplied().
	struct DeliveryTicket
	{
		uint32_t master = 0;
		uint16_t masterPort = 0;
		uint32_t session = 0;
		uint32_t sequence = 0;
		int64_t sentMicros = 0;
		// The command's OSC address ("/quarn/play"); static storage.
		const char* command = "";
	};
}
