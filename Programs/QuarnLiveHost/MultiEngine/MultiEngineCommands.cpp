#include "MultiEngine/MultiEngineCommands.h"

#include "Board/BoardCommands.h"
#include "Board/BoardServer.h"
#include "Board/EngineStatusReport.h"
#include "Board/Stage.h"
#include "Board/Timeline.h"
#include "Errors.h"
#include "MultiEngine/Addresses.h"
#include "MultiEngine/EngineCommand.h"
#include "MultiEngine/EngineEdits.h"
#include "MultiEngine/FrameTimes.h"
#include "MultiEngine/LiveEngine.h"
#include "MultiEngine/Printer.h"
#include "MultiEngine/ServerSecurity.h"
#include "MultiEngine/SessionReporter.h"
#include "MultiEngine/StudioClock.h"
#include "Run/ProjectFolder.h"

#include "Editor.h"
#include "HeadlessEngineLoop.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnStatus.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "TimecodeClient.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace quarnlive::multiengine
{
	namespace
	{
		volatile std::sig_atomic_t stopSignal = 0;

		void onStopSignal(int signal)
		{
			stopSignal = signal;
		}

		/** SIGINT and SIGTERM end the loop at the next frame instead of the process. */
		class StopSignals
		{
		public:
			StopSignals()
			{
				stopSignal = 0;
				struct sigaction action = {};
				action.sa_handler = onStopSignal;
				sigemptyset(&action.sa_mask);
				sigaction(SIGINT, &action, &previousInterrupt_);
				sigaction(SIGTERM, &action, &previousTerminate_);
			}
			~StopSignals()
			{
				sigaction(SIGINT, &previousInterrupt_, nullptr);
				sigaction(SIGTERM, &previousTerminate_, nullptr);
			}
			StopSignals(const StopSignals&) = delete;
			StopSignals& operator=(const StopSignals&) = delete;

		private:
			struct sigaction previousInterrupt_ = {};
			struct sigaction previousTerminate_ = {};
		};

		/** Whole lines of standard input, read without ever waiting: the engine loop keeps its pace. */
		class InputLines
		{
		public:
			/** Appends the complete lines that arrived since the last call; false once input has ended. */
			bool poll(std::vector<std::string>& lines)
			{
				while (!ended_)
				{
					pollfd input = {STDIN_FILENO, POLLIN, 0};
					if (::poll(&input, 1, 0) <= 0 || (input.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
					{
						break;
					}
					char buffer[4096];
					const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof(buffer));
					if (count <= 0)
					{
						ended_ = count == 0 || errno != EINTR;
						break;
					}
					pending_.append(buffer, static_cast<std::size_t>(count));
				}
				for (std::size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n'))
				{
					lines.push_back(pending_.substr(0, end));
					pending_.erase(0, end + 1);
				}
				// A last line without a line end still counts.
				if (ended_ && !pending_.empty())
				{
					lines.push_back(pending_);
					pending_.clear();
				}
				return !ended_;
			}

		private:
			std::string pending_;
			bool ended_ = false;
		};

		std::string checkedAddress(const std::string& text, const std::string& option)
		{
			const std::optional<std::string> address = canonicalAddress(text);
			if (!address)
			{
				throw InputError(option, "'" + text + "' is not an IPv4 address such as 127.0.0.1");
			}
			return *address;
		}

		EngineSetup setupOf(const Options& options, std::optional<bool> master)
		{
			EngineSetup setup;
			setup.master = master;
			setup.bindAddress = checkedAddress(options.bind, "--bind");
			setup.project = options.project;
			if (options.followers)
			{
				setup.followers = parseAddressList(*options.followers, "--followers");
			}
			setup.maxLateMilliseconds = options.maxLateMilliseconds;
			setup.trace = options.trace;
			setup.security = resolveServerSecurity(options.keyFile, options.masters, run::prepareProjectFolder(options.project));
			return setup;
		}

		void printResult(Printer& printer, const EngineCommand& command, bool result)
		{
			printer.line("broadcast", {{"command", command.name}, {"args", command.arguments()}, {"result", result}},
				"broadcast " + command.text() + ": " + (result ? "true" : "false"));
		}

		constexpr int studioFramesPerSecond = 60;
		constexpr std::chrono::milliseconds timecodeProbeInterval{250};

		FLinearColor colorNamed(const std::string& word)
		{
			if (word == "green")
			{
				return FLinearColor::Green;
			}
			if (word == "yellow")
			{
				return FLinearColor::Yellow;
			}
			if (word == "red")
			{
				return FLinearColor::Red;
			}
			throw InputError("", "'" + word + "' is not a colour: green, yellow or red");
		}

		/**
		 * The studio-side lines of `engine`: play-in-editor, a status override while it runs (what
		 * a client of the status subsystem does during play) and a timecode shift. False when
		 * the line is none of them.
		 */
		bool studioControl(const std::vector<std::string>& words, const std::string& line, bool& inPlay, StudioClock& clock, Printer& printer)
		{
			if (words[0] == "pie")
			{
				if (words.size() != 2 || (words[1] != "begin" && words[1] != "end"))
				{
					throw InputError("", "pie needs begin or end");
				}
				inPlay = words[1] == "begin";
				(inPlay ? FEditorDelegates::BeginPIE : FEditorDelegates::EndPIE).Broadcast(false);
				printer.line("pie", {{"playing", inPlay}}, std::string("play-in-editor ") + (inPlay ? "began" : "ended"));
				return true;
			}
			if (words[0] == "override")
			{
				if (words.size() < 3)
				{
					throw InputError("", "usage: override tracking|lens|video|sync green|yellow|red [MESSAGE]");
				}
				if (!inPlay)
				{
					throw InputError("", "the status subsystem takes overrides only during play-in-editor; type 'pie begin' first");
				}
				UQuarnStatusSubsystem* statuses = UQuarnStatusSubsystem::Get();
				if (!statuses)
				{
					throw InputError("", "the status subsystem does not exist");
				}
				FQuarnStatus status;
				status.Color = colorNamed(words[2]);
				const std::size_t messageAt = line.find(words[2], line.find(words[1]) + words[1].size()) + words[2].size();
				std::string message = messageAt < line.size() ? line.substr(messageAt) : "";
				message.erase(0, message.find_first_not_of(" \t"));
				status.Message = FString(message);
				if (words[1] == "tracking")
				{
					statuses->OverrideTrackingStatus(status);
				}
				else if (words[1] == "lens")
				{
					statuses->OverrideLensStatus(status);
				}
				else if (words[1] == "video")
				{
					statuses->OverrideVideoStatus(status);
				}
				else if (words[1] == "sync")
				{
					statuses->OverrideSyncStatus(status);
				}
				else
				{
					throw InputError("", "'" + words[1] + "' is not a status: tracking, lens, video or sync");
				}
				return true;
			}
			if (words[0] == "timecode-shift")
			{
				std::int64_t frames = 0;
				const auto [end, error] = words.size() == 2 ? std::from_chars(words[1].data() + (words[1][0] == '+' ? 1 : 0), words[1].data() + words[1].size(), frames)
															: std::from_chars_result{nullptr, std::errc::invalid_argument};
				if (error != std::errc() || end != words[1].data() + words[1].size() || frames < -86400 || frames > 86400)
				{
					throw InputError("", "usage: timecode-shift FRAMES (a whole number, -86400 to 86400)");
				}
				clock.shift(frames);
				printer.line("timecodeShift", {{"frames", frames}}, "timecode shifted by " + std::to_string(frames) + " frames");
				return true;
			}
			return false;
		}

		void printFrameTimes(Printer& printer, const FrameTimes& frames)
		{
			const double budgetMs = 1000.0 / studioFramesPerSecond;
			const double p50 = roundedNumber(frames.percentileMs(0.5));
			const double p99 = roundedNumber(frames.percentileMs(0.99));
			printer.line("frames", {{"frames", frames.count()}, {"workP50Ms", p50}, {"workP99Ms", p99}, {"budgetMs", roundedNumber(budgetMs)}},
				"frames: work p50 " + shortNumber(p50) + " ms, p99 " + shortNumber(p99) + " ms of a " + shortNumber(budgetMs) + " ms budget (last "
					+ std::to_string(frames.count()) + " frames)");
		}

		void printServerStats(Printer& printer, const quarn::ServerNode& server)
		{
			printStats(printer, server.stats(), server.followerStates());
		}

		/** Why a follower's line says what it says: the receipt's outcome, or what is missing. */
		std::string reasonOf(const quarn::CommandFate& fate)
		{
			if (fate.applied)
			{
				return quarn::outcomeText(fate.receipt.outcome);
			}
			if (fate.lost)
			{
				return "lost";
			}
			return fate.acknowledged ? "no receipt" : "no acknowledgement";
		}
	} // namespace

	void runEngine(const Options& options, std::FILE* out)
	{
		// Without --role the project's bMultiEngineMaster decides, as in the editor.
		const std::optional<bool> role = options.role.empty() ? std::nullopt : std::optional<bool>(options.role == "master");
		EngineSetup setup = setupOf(options, role);
		if (options.boardPort && role == false)
		{
			throw InputError("--board", "only a master serves the stage board");
		}
		if (options.timeline && role == false)
		{
			throw InputError("--timeline", "only a master keeps the session's timeline");
		}
		const std::string boardBind = checkedAddress(options.boardBind, "--board-bind");
		Printer printer(out, options.json);
		const auto say = [&printer](const std::string& type, const nlohmann::ordered_json& fields, const std::string& text) { printer.line(type, fields, text); };
		const StopSignals signals;
		std::string reason = "end of input";

		StudioClock clock(studioFramesPerSecond);
		std::optional<board::Timeline> timeline;
		if (options.timeline)
		{
			timeline.emplace(*options.timeline);
		}
		std::optional<board::Stage> stage;
		if (options.boardPort || options.timeline)
		{
			stage.emplace(board::StageSetup{setup.bindAddress, studioFramesPerSecond, [&clock](std::int64_t wall) { return clock.secondsAt(wall); }, say,
				timeline ? &*timeline : nullptr});
			setup.observer = &*stage;
			setup.timecodeProbe = timecodeProbeInterval;
		}
		board::BoardCommands boardCommands;
		{
			LiveEngine engine(setup, printer);
			clock.begin();
			engine.printEvents();
			engine.printReady(setup.bindAddress, setup.security);

			std::optional<board::BoardServer> boardServer;
			if (stage)
			{
				if (UQuarnMultiEngineSubsystem* multiEngine = engine.subsystem())
				{
					std::vector<std::string> followers;
					for (const FString& address : multiEngine->GetFollowersIpAddresses())
					{
						followers.push_back(address.ToStdString());
					}
					stage->addFollowers(followers);
				}
			}
			if (options.boardPort)
			{
				const std::string token = board::newBoardToken();
				boardServer.emplace(board::BoardSetup{boardBind, *options.boardPort, token, say}, *stage, boardCommands);
				boardServer->start();
				const std::string url = "http://" + boardBind + ":" + std::to_string(*options.boardPort) + "/?token=" + token;
				printer.line("board", {{"url", url}, {"bind", boardBind}, {"port", *options.boardPort}, {"token", token}}, "board: " + url);
			}
			quarn::QuarnVirtualProductionServer& server = engine.server();
			board::EngineStatusReport statusReport(false, [&](const quarn::EngineReport& report) {
				if (stage)
				{
					stage->masterReported(report);
				}
				else
				{
					server.report(report);
				}
			});
			const auto broadcastAndRecord = [&](const EngineCommand& command, const char* source) {
				UQuarnMultiEngineSubsystem* multiEngine = engine.subsystem();
				const bool result = multiEngine && broadcastCommand(*multiEngine, command);
				printResult(printer, command, result);
				const std::uint64_t number = result ? server.lastCommand() : 0;
				if (stage)
				{
					stage->commandSent(number, command.text(), source, result);
				}
				return board::BoardOutcome{result, number};
			};

			InputLines input;
			std::vector<std::string> lines;
			bool inPlay = false;
			FrameTimes frameTimes;
			std::optional<std::chrono::steady_clock::time_point> workStart;
			bool running = true;
			while (running)
			{
				lines.clear();
				const bool open = input.poll(lines);
				for (const std::string& line : lines)
				{
					const std::vector<std::string> words = splitWords(line);
					if (words.empty() || words[0].front() == '#')
					{
						continue;
					}
					if (words.size() == 1 && words[0] == "quit")
					{
						reason = "quit";
						running = false;
						break;
					}
					if (words.size() == 1 && words[0] == "stats")
					{
						printServerStats(printer, engine.server());
						printFrameTimes(printer, frameTimes);
						continue;
					}
					try
					{
						if (runEngineEdit(words, printer))
						{
							continue;
						}
						if (!studioControl(words, line, inPlay, clock, printer))
						{
							broadcastAndRecord(parseCommand(words), "input");
						}
					}
					catch (const InputError& error)
					{
						printer.error("'" + line + "': " + error.problem());
					}
				}
				for (board::BoardCommands::Pending& pending : boardCommands.take())
				{
					pending.done.set_value(broadcastAndRecord(pending.command, "board"));
				}
				statusReport.poll();
				if (stopSignal != 0)
				{
					reason = stopSignal == SIGINT ? "interrupt" : "terminate";
					running = false;
				}
				else if (!open)
				{
					running = false;
				}
				if (running)
				{
					if (workStart)
					{
						frameTimes.add(std::chrono::steady_clock::now() - *workStart);
					}
					const double delta = clock.WaitForNextFrame();
					workStart = std::chrono::steady_clock::now();
					engine.tick(delta);
				}
			}
			// The server's counters end with the engine.
			printServerStats(printer, engine.server());
			printFrameTimes(printer, frameTimes);
		}
		// After the engine's shut-down, so the server is stopped when this line appears.
		printer.line("stopped", {{"reason", reason}}, "stopped: " + reason);
	}

	void runBroadcast(const Options& options, std::FILE* out)
	{
		const EngineCommand command = [&options]() {
			try
			{
				return parseCommand(options.words);
			}
			catch (InputError& error)
			{
				throw InputError("broadcast", error.problem());
			}
		}();
		const EngineSetup setup = setupOf(options, true);
		Printer printer(out, options.json);
		std::vector<quarn::CommandFate> fates;
		{
			LiveEngine engine(setup, printer);
			UQuarnMultiEngineSubsystem* multiEngine = engine.subsystem();
			if (!multiEngine || !multiEngine->IsEnabled())
			{
				throw RuntimeFailure("multi-engine is not running on " + setup.bindAddress + ":" + std::to_string(serverPort)
					+ " (disabled in the project's settings, or the address is taken)");
			}
			const bool sent = broadcastCommand(*multiEngine, command);
			printResult(printer, command, sent);
			if (!sent)
			{
				throw RuntimeFailure("nothing was sent: no valid follower address (give --followers or set the project's OtherMultiEngineIps)");
			}
			quarn::QuarnVirtualProductionServer& server = engine.server();
			const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.waitMilliseconds);
			server.waitUntilAcknowledged(std::chrono::milliseconds(options.waitMilliseconds));
			// Receipts follow a frame later; what is still missing at the deadline is said so.
			server.waitUntilApplied(std::chrono::duration_cast<std::chrono::milliseconds>(std::max(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero())));
			fates = server.fateOf(server.lastCommand());
		}

		std::string missing;
		for (const quarn::CommandFate& fate : fates)
		{
			const bool applied = fate.applied && fate.receipt.outcome == quarn::CommandOutcome::Raised;
			const std::string reason = reasonOf(fate);
			nlohmann::ordered_json fields = {{"address", fate.address}, {"acknowledged", fate.acknowledged}, {"applied", applied}};
			std::string text = fate.address + (fate.acknowledged ? " acknowledged" : " did not acknowledge");
			if (fate.applied)
			{
				const std::string timecode = timecodeText(fate.receipt.hours, fate.receipt.minutes, fate.receipt.seconds, fate.receipt.frames);
				const double latencyMs = roundedNumber(static_cast<double>(fate.receipt.lateness.count()) / 1000.0);
				fields["frame"] = fate.receipt.frame;
				fields["timecode"] = timecode;
				fields["latencyMs"] = latencyMs;
				text += ", " + reason + " at frame " + std::to_string(fate.receipt.frame) + " (" + timecode + "), " + shortNumber(latencyMs) + " ms after it was sent";
			}
			else
			{
				fields["frame"] = nullptr;
				fields["timecode"] = nullptr;
				fields["latencyMs"] = nullptr;
				text += fate.acknowledged ? ", " + reason : "";
			}
			fields["reason"] = reason;
			printer.line("follower", std::move(fields), text);
			if (!fate.acknowledged)
			{
				missing += (missing.empty() ? "" : ", ") + fate.address;
			}
		}
		if (!missing.empty())
		{
			throw RuntimeFailure("no acknowledgement within " + std::to_string(options.waitMilliseconds) + " ms from " + missing);
		}
	}

	void runTimecode(const Options& options, std::FILE* out)
	{
		const std::string address = checkedAddress(options.address, "address");
		const std::string bind = checkedAddress(options.bind, "--bind");
		const std::shared_ptr<const quarn::StudioKey> studioKey = options.keyFile ? loadStudioKey(*options.keyFile, "--key-file") : nullptr;
		Printer printer(out, options.json);
		const std::optional<quarn::TimecodeAnswer> answer =
			quarn::requestTimecode(address, serverPort, std::chrono::milliseconds(options.waitMilliseconds), bind, studioKey);
		if (!answer)
		{
			throw RuntimeFailure("no timecode from " + address + ":" + std::to_string(serverPort) + " within " + std::to_string(options.waitMilliseconds) + " ms");
		}
		const quarn::Timecode& timecode = answer->timecode;
		char text[64];
		std::snprintf(text, sizeof(text), "%02u:%02u:%02u:%02u", timecode.hours(), timecode.minutes(), timecode.seconds(), timecode.frames());
		const double roundTripMs = std::chrono::duration<double, std::milli>(answer->roundTrip).count();
		const double framesPerSecond = roundedNumber(timecode.rate().framesPerSecond());
		printer.line("timecode",
			{{"address", address}, {"timecode", text}, {"hours", timecode.hours()}, {"minutes", timecode.minutes()}, {"seconds", timecode.seconds()},
				{"frames", timecode.frames()}, {"framesPerSecond", framesPerSecond}, {"roundTripMs", roundTripMs}},
			address + " " + text + " @ " + shortNumber(framesPerSecond) + " fps, round trip " + shortNumber(roundTripMs) + " ms");
	}
} // namespace quarnlive::multiengine
