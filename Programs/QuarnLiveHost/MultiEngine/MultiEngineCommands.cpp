#include "MultiEngine/MultiEngineCommands.h"

#include "Errors.h"
#include "MultiEngine/Addresses.h"
#include "MultiEngine/EngineCommand.h"
#include "MultiEngine/EngineEdits.h"
#include "MultiEngine/LiveEngine.h"
#include "MultiEngine/Printer.h"

#include "HeadlessEngineLoop.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "TimecodeClient.h"

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
			return setup;
		}

		void printResult(Printer& printer, const EngineCommand& command, bool result)
		{
			printer.line("broadcast", {{"command", command.name}, {"args", command.arguments()}, {"result", result}},
				"broadcast " + command.text() + ": " + (result ? "true" : "false"));
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
			engine.printReady(setup.bindAddress);

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
		std::vector<quarn::FollowerState> states;
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
			quarn::QuarnVirtualProductionServer::instance().waitUntilAcknowledged(std::chrono::milliseconds(options.waitMilliseconds));
			states = quarn::QuarnVirtualProductionServer::instance().followerStates();
		}

		std::string missing;
		for (const quarn::FollowerState& state : states)
		{
			const bool acknowledged = state.lastSent != 0 && state.acknowledged == state.lastSent && state.pending == 0;
			printer.line("follower", {{"address", state.address}, {"acknowledged", acknowledged}},
				state.address + (acknowledged ? " acknowledged" : " did not acknowledge"));
			if (!acknowledged)
			{
				missing += (missing.empty() ? "" : ", ") + state.address;
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
		Printer printer(out, options.json);
		const std::optional<quarn::TimecodeAnswer> answer =
			quarn::requestTimecode(address, serverPort, std::chrono::milliseconds(options.waitMilliseconds), bind);
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
