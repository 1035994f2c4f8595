#include "Board/Stage.h"

#include "Board/Timeline.h"
#include "MultiEngine/Printer.h"
#include "MultiEngine/SessionReporter.h"
#include "MultiEngine/StudioClock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quarnlive::board
{
	namespace
	{
		std::int64_t now()
		{
			return multiengine::StudioClock::wallMicrosNow();
		}

		nlohmann::ordered_json statusJson(const quarn::ReportedStatus& status)
		{
			return {{"name", status.name}, {"level", levelOf(status.color)},
				{"color", {status.color[0], status.color[1], status.color[2], status.color[3]}}, {"message", status.message}};
		}

		std::string signedFrames(double frames)
		{
			char text[32];
			std::snprintf(text, sizeof(text), "%+.2f", frames);
			return text;
		}
	} // namespace

	std::string levelOf(const float (&color)[4])
	{
		const auto is = [&color](float red, float green, float blue) { return color[0] == red && color[1] == green && color[2] == blue && color[3] == 1.0f; };
		if (is(0.0f, 1.0f, 0.0f))
		{
			return "Green";
		}
		if (is(1.0f, 1.0f, 0.0f))
		{
			return "Yellow";
		}
		if (is(1.0f, 0.0f, 0.0f))
		{
			return "Red";
		}
		return "Other";
	}

	Stage::Stage(StageSetup setup)
		: setup_(std::move(setup))
	{
		Row& master = rowFor(setup_.masterAddress);
		master.role = "master";
		master.up = true;
		master.sinceMicros = now();
	}

	void Stage::addFollowers(const std::vector<std::string>& addresses)
	{
		const std::lock_guard guard(lock_);
		for (const std::string& address : addresses)
		{
			rowFor(address);
		}
		changed();
	}

	Stage::Row& Stage::rowFor(const std::string& address)
	{
		for (Row& row : rows_)
		{
			if (row.address == address)
			{
				return row;
			}
		}
		rows_.push_back(Row{});
		rows_.back().address = address;
		return rows_.back();
	}

	std::string Stage::masterTimecode(std::int64_t wallMicros) const
	{
		const double seconds = std::max(0.0, setup_.masterSeconds ? setup_.masterSeconds(wallMicros) : 0.0);
		const auto frames = static_cast<std::int64_t>(std::floor(seconds * setup_.framesPerSecond + 1e-6));
		const std::int64_t wholeSeconds = frames / setup_.framesPerSecond;
		return multiengine::timecodeText(static_cast<uint32_t>((wholeSeconds / 3600) % 24), static_cast<uint32_t>((wholeSeconds / 60) % 60),
			static_cast<uint32_t>(wholeSeconds % 60), static_cast<uint32_t>(frames % setup_.framesPerSecond));
	}

	void Stage::record(std::int64_t when, const std::string& type, const nlohmann::ordered_json& fields)
	{
		if (setup_.timeline)
		{
			setup_.timeline->write(when, masterTimecode(when), type, fields);
		}
	}

	void Stage::changed()
	{
		++version_;
		changed_.notify_all();
	}

	void Stage::heard(Row& row, std::int64_t when)
	{
		if (row.up.has_value())
		{
			if (!*row.up)
			{
				// Up again: followerUp tells the record how long it was away.
				row.up = true;
				row.sinceMicros = when;
			}
			return;
		}
		row.up = true;
		row.sinceMicros = when;
		record(when, "up", {{"address", row.address}, {"first", true}});
	}

	void Stage::setStatuses(Row& row, const quarn::EngineReport& report, std::int64_t when)
	{
		if (row.role != report.role)
		{
			row.role = report.role;
			record(when, "role", {{"address", row.address}, {"role", report.role}});
		}
		for (const quarn::ReportedStatus& status : report.statuses)
		{
			const auto known = std::find_if(row.statuses.begin(), row.statuses.end(), [&status](const quarn::ReportedStatus& old) { return old.name == status.name; });
			if (known != row.statuses.end() && *known == status)
			{
				continue;
			}
			nlohmann::ordered_json fields = {{"address", row.address}};
			const nlohmann::ordered_json described = statusJson(status);
			for (const auto& [key, value] : described.items())
			{
				fields[key] = value;
			}
			record(when, "status", fields);
		}
		row.statuses = report.statuses;
	}

	void Stage::masterReported(const quarn::EngineReport& report)
	{
		const std::lock_guard guard(lock_);
		Row& row = rowFor(setup_.masterAddress);
		if (row.statuses == report.statuses && row.role == report.role)
		{
			return;
		}
		setStatuses(row, report, now());
		changed();
	}

	void Stage::engineReported(const std::string& address, const quarn::EngineReport& report)
	{
		const std::lock_guard guard(lock_);
		Row& row = rowFor(address);
		const bool wasUp = row.up.value_or(false);
		if (wasUp && row.statuses == report.statuses && row.role == report.role)
		{
			return;
		}
		const std::int64_t when = now();
		heard(row, when);
		setStatuses(row, report, when);
		changed();
	}

	void Stage::followerDown(const std::string& address, std::chrono::milliseconds silentFor)
	{
		const std::lock_guard guard(lock_);
		Row& row = rowFor(address);
		const std::int64_t when = now();
		row.up = false;
		row.sinceMicros = when - std::chrono::duration_cast<std::chrono::microseconds>(silentFor).count();
		row.offsets.clear();
		row.timecode.reset();
		record(when, "down", {{"address", address}, {"silentMs", silentFor.count()}});
		changed();
	}

	void Stage::followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted)
	{
		const std::lock_guard guard(lock_);
		Row& row = rowFor(address);
		const std::int64_t when = now();
		if (!row.up.value_or(false))
		{
			row.sinceMicros = when;
		}
		row.up = true;
		if (restarted)
		{
			row.offsets.clear();
		}
		record(when, "up", {{"address", address}, {"awayMs", away.count()}, {"restarted", restarted}});
		changed();
	}

	void Stage::commandSent(std::uint64_t number, const std::string& text, const std::string& source, bool result)
	{
		const std::lock_guard guard(lock_);
		const std::int64_t when = now();
		CommandRow command{number, text, source, result, when, {}};
		if (result)
		{
			for (const Row& row : rows_)
			{
				if (row.address != setup_.masterAddress)
				{
					command.fates[row.address] = Fate{};
				}
			}
			if (const auto early = early_.find(number); early != early_.end())
			{
				for (auto& [address, fate] : early->second)
				{
					command.fates[address] = std::move(fate);
				}
			}
			early_.erase(early_.begin(), early_.upper_bound(number));
		}
		commands_.push_front(std::move(command));
		while (commands_.size() > keptCommands)
		{
			commands_.pop_back();
		}
		record(when, "command", {{"command", number}, {"text", text}, {"source", source}, {"result", result}});
		changed();
	}

	void Stage::keepFate(const std::string& address, std::uint64_t command, Fate fate)
	{
		for (CommandRow& row : commands_)
		{
			if (row.number == command)
			{
				row.fates[address] = std::move(fate);
				return;
			}
		}
		std::uint64_t newest = 0;
		for (const CommandRow& row : commands_)
		{
			newest = std::max(newest, row.number);
		}
		if (command <= newest)
		{
			return; // an old command the board no longer shows
		}
		early_[command][address] = std::move(fate);
		while (early_.size() > keptCommands)
		{
			early_.erase(early_.begin());
		}
	}

	void Stage::commandApplied(const std::string& address, uint64_t command, const quarn::AppliedReceipt& receipt)
	{
		const std::lock_guard guard(lock_);
		const std::int64_t when = now();
		const std::string timecode = multiengine::timecodeText(receipt.hours, receipt.minutes, receipt.seconds, receipt.frames);
		const double latenessMs = multiengine::roundedNumber(static_cast<double>(receipt.lateness.count()) / 1000.0);
		const bool raised = receipt.outcome == quarn::CommandOutcome::Raised;
		nlohmann::ordered_json detail = {{"applied", raised}, {"reason", quarn::outcomeText(receipt.outcome)}, {"frame", receipt.frame}, {"timecode", timecode},
			{"latenessMs", latenessMs}};
		keepFate(address, command, Fate{raised ? "applied" : "not applied", detail});
		nlohmann::ordered_json fields = {{"address", address}, {"command", command}};
		for (const auto& [key, value] : detail.items())
		{
			fields[key] = value;
		}
		record(when, "receipt", fields);
		heard(rowFor(address), when);
		changed();
	}

	void Stage::commandsLost(const std::string& address, const std::vector<uint64_t>& commands, quarn::LossReason reason)
	{
		const std::lock_guard guard(lock_);
		for (const uint64_t command : commands)
		{
			keepFate(address, command, Fate{"lost", {{"applied", false}, {"reason", quarn::lossText(reason)}}});
		}
		record(now(), "lost", {{"address", address}, {"commands", commands}, {"reason", quarn::lossText(reason)}});
		changed();
	}

	void Stage::timecodeSampled(const std::string& address, const quarn::TimecodeSample& sample)
	{
		if (!setup_.masterSeconds)
		{
			return;
		}
		const quarn::Timecode& timecode = sample.timecode;
		const double follower = secondsOfTimecode(timecode.hours(), timecode.minutes(), timecode.seconds(), timecode.frames(), timecode.rate().framesPerSecond());
		const double offset = offsetSeconds(follower, setup_.masterSeconds(sample.sentMicros), setup_.masterSeconds(sample.receivedMicros));

		const std::lock_guard guard(lock_);
		Row& row = rowFor(address);
		const std::int64_t when = now();
		heard(row, when);
		row.timecode = multiengine::timecodeText(timecode.hours(), timecode.minutes(), timecode.seconds(), timecode.frames());
		row.lastOffset = offset;
		row.roundTripMs = static_cast<double>(sample.receivedMicros - sample.sentMicros) / 1000.0;
		row.offsets.add(offset);
		if (row.offsets.size() >= offsetsBeforeVerdict)
		{
			const double mean = row.offsets.mean();
			const bool alarm = beyondHalfFrame(mean, setup_.framesPerSecond);
			if (alarm != row.alarm)
			{
				row.alarm = alarm;
				const double frames = mean * setup_.framesPerSecond;
				const double milliseconds = multiengine::roundedNumber(mean * 1000.0);
				const double spreadMs = multiengine::roundedNumber(row.offsets.spread() * 1000.0);
				const nlohmann::ordered_json fields = {{"address", address}, {"offsetMs", milliseconds}, {"offsetFrames", multiengine::roundedNumber(frames)},
					{"spreadMs", spreadMs}};
				const std::string type = alarm ? "offsetAlarm" : "offsetAgreed";
				record(when, type, fields);
				if (setup_.say)
				{
					setup_.say(type, fields,
						"timecode " + address + (alarm ? " off by " : " agrees again, off by ") + signedFrames(frames) + " frames (" + multiengine::shortNumber(milliseconds)
							+ " ms, spread " + multiengine::shortNumber(spreadMs) + " ms)" + (alarm ? ": more than half a frame" : ""));
				}
			}
		}
		changed();
	}

	nlohmann::ordered_json Stage::snapshot() const
	{
		const std::lock_guard guard(lock_);
		const std::int64_t when = now();
		nlohmann::ordered_json engines = nlohmann::ordered_json::array();
		for (const Row& row : rows_)
		{
			nlohmann::ordered_json statuses = nlohmann::ordered_json::array();
			for (const quarn::ReportedStatus& status : row.statuses)
			{
				statuses.push_back(statusJson(status));
			}
			const bool master = row.address == setup_.masterAddress;
			nlohmann::ordered_json engine = {{"address", row.address}, {"role", row.role}, {"up", row.up ? nlohmann::ordered_json(*row.up) : nlohmann::ordered_json()},
				{"sinceMicros", row.sinceMicros}, {"statuses", statuses}};
			engine["timecode"] = master ? nlohmann::ordered_json(masterTimecode(when)) : (row.timecode ? nlohmann::ordered_json(*row.timecode) : nlohmann::ordered_json());
			if (!master && row.offsets.size() > 0)
			{
				engine["offsetMs"] = multiengine::roundedNumber(row.offsets.mean() * 1000.0);
				engine["offsetFrames"] = multiengine::roundedNumber(row.offsets.mean() * setup_.framesPerSecond);
				engine["spreadMs"] = multiengine::roundedNumber(row.offsets.spread() * 1000.0);
				engine["roundTripMs"] = multiengine::roundedNumber(row.roundTripMs);
			}
			else
			{
				engine["offsetMs"] = nullptr;
			}
			engine["alarm"] = row.alarm;
			engines.push_back(std::move(engine));
		}
		nlohmann::ordered_json commands = nlohmann::ordered_json::array();
		for (const CommandRow& command : commands_)
		{
			nlohmann::ordered_json fates = nlohmann::ordered_json::object();
			for (const auto& [address, fate] : command.fates)
			{
				nlohmann::ordered_json entry = {{"state", fate.state}};
				for (const auto& [key, value] : fate.detail.items())
				{
					entry[key] = value;
				}
				fates[address] = std::move(entry);
			}
			commands.push_back({{"number", command.number}, {"text", command.text}, {"source", command.source}, {"result", command.result},
				{"sentMicros", command.sentMicros}, {"fates", std::move(fates)}});
		}
		return {{"version", version_}, {"nowMicros", when}, {"master", setup_.masterAddress}, {"framesPerSecond", setup_.framesPerSecond},
			{"engines", std::move(engines)}, {"commands", std::move(commands)}};
	}

	std::uint64_t Stage::version() const
	{
		const std::lock_guard guard(lock_);
		return version_;
	}

	std::uint64_t Stage::waitForChange(std::uint64_t seen, std::chrono::milliseconds timeout, const std::function<bool()>& stop) const
	{
		std::unique_lock guard(lock_);
		changed_.wait_for(guard, timeout, [&] { return version_ != seen || stop(); });
		return version_;
	}

	void Stage::wake() const
	{
		const std::lock_guard guard(lock_);
		changed_.notify_all();
	}
} // namespace quarnlive::board
