#pragma once

#include "Board/TimecodeAgreement.h"

#include "EngineReport.h"
#include "ServerEvents.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::board
{
	class Timeline;

	/** What the stage needs of the master: its address, followers and clock, and where alarms are said. */
	struct StageSetup
	{
		std::string masterAddress;
		/** The session's timecode rate: the master's. */
		int framesPerSecond = 60;
		/** The master's time of day (seconds) at a wall-clock instant (microseconds since the epoch). */
		std::function<double(std::int64_t)> masterSeconds;
		/** The master's output: type, JSON fields and text of a line. */
		std::function<void(const std::string&, const nlohmann::ordered_json&, const std::string&)> say;
		/** Null: no record. */
		Timeline* timeline = nullptr;
	};

	/**
	 * Everything the master knows about the engines of its session: one row per engine with
	 * its role, up or down, statuses and timecode offset, and the last commands with each
	 * follower's receipt. Fed by the server's threads (as its observer) and the game thread;
	 * read as one JSON snapshot by the board's connections, which wait for the next change.
	 */
	class Stage final : public quarn::ServerObserver
	{
	public:
		/** Commands kept for the board. */
		static constexpr std::size_t keptCommands = 12;
		/** Offsets averaged before an alarm is raised or cleared. */
		static constexpr std::size_t offsetWindow = 8;
		static constexpr std::size_t offsetsBeforeVerdict = 4;

		explicit Stage(StageSetup setup);

		/** Rows for the master's followers, before they are heard from. */
		void addFollowers(const std::vector<std::string>& addresses);

		/** The master's own role and statuses (game thread). */
		void masterReported(const quarn::EngineReport& report);
		/** A command the master broadcast; `number` is the server's (0 when nothing was sent). */
		void commandSent(std::uint64_t number, const std::string& text, const std::string& source, bool result);

		void followerDown(const std::string& address, std::chrono::milliseconds silentFor) override;
		void followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted) override;
		void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, quarn::LossReason reason) override;
		void commandApplied(const std::string& address, uint64_t command, const quarn::AppliedReceipt& receipt) override;
		void engineReported(const std::string& address, const quarn::EngineReport& report) override;
		void timecodeSampled(const std::string& address, const quarn::TimecodeSample& sample) override;

		nlohmann::ordered_json snapshot() const;
		std::uint64_t version() const;
		/** Waits until the stage changes after `seen` or `timeout` passes; the version then. */
		std::uint64_t waitForChange(std::uint64_t seen, std::chrono::milliseconds timeout, const std::function<bool()>& stop) const;
		/** Ends every wait at once. */
		void wake() const;

		/** The master's timecode now, as text. */
		std::string masterTimecode(std::int64_t wallMicros) const;

	private:
		struct Row
		{
			std::string address;
			std::string role;
			/** Unset until the engine is first heard from. */
			std::optional<bool> up;
			std::int64_t sinceMicros = 0;
			std::vector<quarn::ReportedStatus> statuses;
			std::optional<std::string> timecode;
			OffsetWindow offsets{offsetWindow};
			double lastOffset = 0.0;
			double roundTripMs = 0.0;
			bool alarm = false;
		};

		struct Fate
		{
			std::string state = "sent";
			nlohmann::ordered_json detail = nlohmann::ordered_json::object();
		};

		struct CommandRow
		{
			std::uint64_t number = 0;
			std::string text;
			std::string source;
			bool result = false;
			std::int64_t sentMicros = 0;
			std::map<std::string, Fate> fates;
		};

		Row& rowFor(const std::string& address);
		/** An engine was heard from; the first time it counts as up. */
		void heard(Row& row, std::int64_t now);
		void setStatuses(Row& row, const quarn::EngineReport& report, std::int64_t now);
		/** Puts a follower's fate on its command's row, or holds it until the game thread records the command. */
		void keepFate(const std::string& address, std::uint64_t command, Fate fate);
		void record(std::int64_t now, const std::string& type, const nlohmann::ordered_json& fields);
		void changed();

		const StageSetup setup_;
		mutable std::mutex lock_;
		mutable std::condition_variable changed_;
		std::uint64_t version_ = 1;
		std::vector<Row> rows_;
		std::deque<CommandRow> commands_;
		/**
		 * Fates heard before the game thread recorded their command: a follower can raise a
		 * command and answer within a frame, while the master is still between its broadcast
		 * and commandSent. Keyed by command number; at most keptCommands numbers are held.
		 */
		std::map<std::uint64_t, std::map<std::string, Fate>> early_;
	};

	/** "Green", "Yellow" or "Red" for the engine's colour constants; else "Other". */
	std::string levelOf(const float (&color)[4]);
} // namespace quarnlive::board
