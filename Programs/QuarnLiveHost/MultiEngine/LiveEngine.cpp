#include "MultiEngine/LiveEngine.h"

#include "MultiEngine/Addresses.h"
#include "MultiEngine/EngineEdits.h"
#include "Output/EventArguments.h"
#include "Run/PluginDescriptor.h"
#include "Run/PluginEngineOptions.h"
#include "Run/ProjectFolder.h"

#include "HeadlessEngineLoop.h"
#include "HeadlessLiveLinkClient.h"
#include "Misc/OutputDeviceRedirector.h"
#include "QuarnLiveSettings.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"

#ifndef QUARN_PLUGIN_DIR
#error "QUARN_PLUGIN_DIR must name the plug-in root, ending in '/'"
#endif

namespace quarnlive::multiengine
{
	namespace
	{
		// One timecode frame per engine frame.
		constexpr int32 engineFramesPerSecond = 60;

		void printEvent(Printer& printer, const char* name, nlohmann::ordered_json arguments)
		{
			std::string text = std::string("event ") + name;
			for (const auto& argument : arguments)
			{
				text += " " + (argument.is_number_float() ? shortNumber(argument.get<double>()) : argument.dump());
			}
			printer.line("event", {{"name", name}, {"args", std::move(arguments)}}, text);
		}
	} // namespace

	LiveEngine::LogDevice::LogDevice(Printer& printer)
		: printer_(printer)
	{
		GLog->AddOutputDevice(this);
	}

	LiveEngine::LogDevice::~LogDevice()
	{
		GLog->RemoveOutputDevice(this);
	}

	void LiveEngine::LogDevice::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		const ELogVerbosity::Type level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		// The module's lines are the session's story; other categories only when they fail.
		if (Category != FName(TEXT("LogQuarnLive")) && level != ELogVerbosity::Error && level != ELogVerbosity::Fatal)
		{
			return;
		}
		const std::string category = Category.ToString().ToStdString();
		const std::string verbosity = ToString(level);
		printer_.line("log", {{"category", category}, {"verbosity", verbosity}, {"message", Message}},
			"log " + category + " " + verbosity + ": " + Message);
	}

	LiveEngine::LiveEngine(const EngineSetup& setup, Printer& printer)
		: printer_(printer)
		, reporter_(printer)
		, observers_(reporter_, setup.observer)
		, receipts_(server_)
	{
		const std::filesystem::path pluginDir = QUARN_PLUGIN_DIR;
		const std::vector<std::string> moduleNames = run::readModuleNames(pluginDir / "QuarnPranto.uplugin");
		const std::filesystem::path projectDir = run::prepareProjectFolder(setup.project);

		quarn::QuarnVirtualProductionServer& server = server_;
		useServerSecurity(setup.security, server);
		quarn::ServerConfig config = server.config();
		config.bindAddress = setup.bindAddress;
		config.maxLateness = std::chrono::milliseconds(setup.maxLateMilliseconds.value_or(0));
		config.timecodeProbeInterval = setup.timecodeProbe;
		server.setConfig(config);
		server.setObserver(&observers_);
		server.setDeliveryTracker([this](const quarn::DeliveryTicket& ticket) { receipts_.track(ticket); });
		server.setLogHandler([&printer](const std::string& message) {
			printer.line("log", {{"category", "QuarnVirtualProductionAPI"}, {"verbosity", "Warning"}, {"message", message}},
				"log QuarnVirtualProductionAPI Warning: " + message);
		});

		FHeadlessEngineOptions options = run::pluginEngineOptions(true, projectDir, pluginDir, moduleNames);
		options.TimecodeRate = FFrameRate(engineFramesPerSecond, 1);

		// The settings object is loaded from the project once the configuration is up; the
		// command line wins over it for this run and is never saved.
		const FDelegateHandle overrides = FHeadlessEngineLoop::OnPreSubsystems().AddLambda([&setup]() {
			UQuarnLiveSettings* settings = UQuarnLiveSettings::Get();
			if (!settings)
			{
				return;
			}
			if (setup.master)
			{
				settings->bMultiEngineMaster = *setup.master;
			}
			if (setup.followers)
			{
				settings->OtherMultiEngineIps.Empty();
				for (const std::string& address : *setup.followers)
				{
					settings->OtherMultiEngineIps.Add(FString(address));
				}
			}
		});

		logDevice_.emplace(printer_);
		if (setup.trace)
		{
			tracer_.emplace([&printer](nlohmann::ordered_json fields, const std::string& text) { printer.line("trace", std::move(fields), "trace " + text); }, server);
		}
		FHeadlessLiveLinkClient::Register();
		FHeadlessEngineLoop::Boot(options);
		booted_ = true;
		FHeadlessEngineLoop::OnPreSubsystems().Remove(overrides);

		if (UQuarnMultiEngineSubsystem* multiEngine = subsystem())
		{
			receipts_.countEvents(*multiEngine);
			// Heartbeats start now, so a follower that is missing is known before the first command.
			if (multiEngine->IsMaster())
			{
				std::vector<std::string> followers;
				for (const FString& address : multiEngine->GetFollowersIpAddresses())
				{
					followers.push_back(address.ToStdString());
				}
				server.watchFollowers(followers);
			}
		}
	}

	LiveEngine::~LiveEngine()
	{
		if (booted_)
		{
			FHeadlessEngineLoop::Shutdown();
			FHeadlessLiveLinkClient::Get().Reset();
			FHeadlessLiveLinkClient::Unregister();
		}
		// The subsystem stopped the server as the engine shut down; nothing reports any more.
		{
			const FCallTrace::FSuspendScope hostCode;
			server_.stop();
		}
		logDevice_.reset();
	}

	UQuarnMultiEngineSubsystem* LiveEngine::subsystem() const
	{
		return UQuarnMultiEngineSubsystem::Get();
	}

	void LiveEngine::tick(double deltaSeconds)
	{
		FHeadlessEngineLoop::Tick(deltaSeconds);
	}

	void LiveEngine::printReady(const std::string& bindAddress, const ServerSecurity& security)
	{
		UQuarnMultiEngineSubsystem* multiEngine = subsystem();
		const bool enabled = multiEngine && multiEngine->IsEnabled();
		const bool master = multiEngine && multiEngine->IsMaster();
		nlohmann::ordered_json followers = nlohmann::ordered_json::array();
		std::string followerText;
		if (multiEngine)
		{
			for (const FString& address : multiEngine->GetFollowersIpAddresses())
			{
				followers.push_back(address.ToStdString());
				followerText += (followerText.empty() ? "" : ",") + address.ToStdString();
			}
		}
		const std::string role = master ? "master" : "follower";
		const std::string where = bindAddress + ":" + std::to_string(serverPort);
		std::string text = "ready: " + role + " on " + where + ", multi-engine " + (enabled ? "enabled" : "disabled");
		// "followers" as the settings hold them, "followersValidated" as the subsystem sends to them.
		const nlohmann::ordered_json validated = multiEngine ? validatedFollowers(*multiEngine) : nlohmann::ordered_json::array();
		if (master)
		{
			text += ", followers " + (followerText.empty() ? std::string("none") : followerText) + " (valid: " + std::to_string(validated.size()) + ")";
		}
		// What a stranger on the network can do, at a glance; a disabled engine has no server.
		if (enabled)
		{
			text += ", " + security.acceptingText();
		}
		printer_.line("ready",
			{{"role", role}, {"bind", bindAddress}, {"port", serverPort}, {"enabled", enabled}, {"master", master}, {"followers", followers},
				{"followersValidated", validated}, {"studioKey", security.studioKey != nullptr}, {"masters", security.masters}},
			text);
	}

	void LiveEngine::printEvents()
	{
		UQuarnMultiEngineSubsystem* multiEngine = subsystem();
		if (!multiEngine)
		{
			return;
		}
		Printer& printer = printer_;
		const auto none = [&printer](const char* name) { return [&printer, name]() { printEvent(printer, name, nlohmann::ordered_json::array()); }; };
		const auto one = [&printer](const char* name) {
			return [&printer, name](auto value) { printEvent(printer, name, nlohmann::ordered_json::array({static_cast<std::int64_t>(value)})); };
		};
		multiEngine->OnPlay().AddLambda(none("Play"));
		multiEngine->OnStop().AddLambda(none("Stop"));
		multiEngine->OnStartRecord().AddLambda(none("StartRecord"));
		multiEngine->OnStopRecord().AddLambda(none("StopRecord"));
		multiEngine->OnSelectCamera().AddLambda(one("SelectCamera"));
		multiEngine->OnSelectLevel().AddLambda(one("SelectLevel"));
		multiEngine->OnAnimationKey().AddLambda(one("AnimationKey"));
		multiEngine->OnrReceiveCustom().AddLambda(one("ReceiveCustom"));
		multiEngine->OnrReceiveCustomEight().AddLambda([&printer](FEightBytes bytes) { printEvent(printer, "ReceiveCustomEight", output::eightBytesJson(bytes)); });
		multiEngine->OnrReceiveCustomTransform().AddLambda([&printer](FTransform transform) { printEvent(printer, "ReceiveCustomTransform", output::transformJson(transform, [](float value) { return roundedNumber(value); })); });
		multiEngine->OnrReceiveCustomInt().AddLambda(one("ReceiveCustomInt"));
		multiEngine->OnSelectCameraXR().AddLambda(one("SelectCameraXR"));
	}
} // namespace quarnlive::multiengine
