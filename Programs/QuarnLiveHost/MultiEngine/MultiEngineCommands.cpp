#include "MultiEngine/MultiEngineCommands.h"

#include "Errors.h"
#include "MultiEngine/Addresses.h"
#include "MultiEngine/EngineCommand.h"
#include "MultiEngine/EngineEdits.h"
#include "MultiEngine/LiveEngine.h"
#include "MultiEngine/Printer.h"
#include "MultiEngine/ServerSecurity.h"
#include "Run/ProjectFolder.h"
#include "MultiEngine/SessionReporter.h"

#include "HeadlessEngineLoop.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "TimecodeClient.h"

#include <algorithm>
#include <cerrno>
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
			setup.security = resolveServerSecurity(options.keyFile, options.masters, run::prepareProjectFolder(options.project));
			return setup;
		}

		void printResult(Printer& printer, const EngineCommand& command, bool result)
		{
			printer.line("broadcast", {{"command", command.name}, {"args", command.arguments()}, {"result", result}},
				"broadcast " + command.text() + ": " + (result ? "true" : "false"));
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
		const EngineSetup setup = setupOf(options, options.role.empty() ? std::nullopt : std::optional<bool>(options.role == "master"));
		Printer printer(out, options.json);
		const StopSignals signals;
		std::string reason = "end of input";
		{
			LiveEngine engine(setup, printer);
			engine.printEvents();
			engine.printReady(setup.bindAddress, setup.security);

			InputLines input;
			FRealTimeClock clock(60.0);
			std::vector<std::string> lines;
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
						continue;
					}
					try
					{
						if (runEngineEdit(words, printer))
						{
							continue;
						}
						const EngineCommand command = parseCommand(words);
						UQuarnMultiEngineSubsystem* multiEngine = engine.subsystem();
						printResult(printer, command, multiEngine && broadcastCommand(*multiEngine, command));
					}
					catch (const InputError& error)
					{
						printer.error("'" + line + "': " + error.problem());
					}
				}
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
					engine.tick(clock.WaitForNextFrame());
				}
			}
			// The server's counters end with the engine.
			printServerStats(printer, engine.server());
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
