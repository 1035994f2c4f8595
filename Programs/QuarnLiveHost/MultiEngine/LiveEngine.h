#pragma once

#include "MultiEngine/ObserverPair.h"
#include "MultiEngine/Printer.h"
#include "Output/CallTraceReporter.h"
#include "MultiEngine/ServerSecurity.h"
#include "MultiEngine/ReceiptTracker.h"
#include "MultiEngine/SessionReporter.h"

#include "Misc/OutputDevice.h"
#include "QuarnVirtualProductionServer.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class UQuarnMultiEngineSubsystem;

namespace quarnlive::multiengine
{
	struct EngineSetup
	{
		/** Taken instead of the project's bMultiEngineMaster, in memory only; unset keeps the project's. */
		std::optional<bool> master;
		/** Local address the server binds (port 10001). */
		std::string bindAddress = "0.0.0.0";
		std::optional<std::filesystem::path> project;
		/** Canonical addresses taken instead of the project's OtherMultiEngineIps, in memory only. */
		std::optional<std::vector<std::string>> followers;
		/** The studio key and masters allow-list the server starts with. */
		ServerSecurity security;
		/** Commands later than this are not raised but reported stale; unset raises every command. */
		std::optional<int> maxLateMilliseconds;
		/** Also told what the server tells (the stage board); null for nobody else. */
		quarn::ServerObserver* observer = nullptr;
		/** As master, ask each follower for its timecode this often; zero never. */
		std::chrono::milliseconds timecodeProbe{0};
		/** trace lines from before boot to after shut-down (--trace). */
		bool trace = false;
	};

	/**
	 * A live editor engine with the plug-in's modules, booted in the constructor and shut
	 * down (server stopped) in the destructor. The module's log lines go to the printer
	 * while it lives.
	 */
	class LiveEngine
	{
	public:
		LiveEngine(const EngineSetup& setup, Printer& printer);
		~LiveEngine();
		LiveEngine(const LiveEngine&) = delete;
		LiveEngine& operator=(const LiveEngine&) = delete;

		quarn::QuarnVirtualProductionServer& server() { return server_; }

		/** Null only when the engine made no multi-engine subsystem. */
		UQuarnMultiEngineSubsystem* subsystem() const;

		/** Prints every command event the subsystem raises, as "event NAME ARGS". */
		void printEvents();

		/** The "ready" line: role, address, whether multi-engine runs, the follower list, whom it accepts commands from. */
		void printReady(const std::string& bindAddress, const ServerSecurity& security);

		/** Runs one frame of the engine loop. */
		void tick(double deltaSeconds);

	private:
		class LogDevice final : public FOutputDevice
		{
		public:
			explicit LogDevice(Printer& printer);
			~LogDevice() override;
			void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;

		private:
			Printer& printer_;
		};

		Printer& printer_;
		/** This engine's server, what the subsystem reaches through instance() on this thread. */
		quarn::QuarnVirtualProductionServer server_;
		quarn::QuarnVirtualProductionServer::ScopedCurrent current_{server_};
		std::optional<output::CallTraceReporter> tracer_;
		SessionReporter reporter_;
		ObserverPair observers_;
		ReceiptTracker receipts_;
		std::optional<LogDevice> logDevice_;
		bool booted_ = false;
	};
} // namespace quarnlive::multiengine
