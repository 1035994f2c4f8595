#include "Run/RunCommand.h"

#include "Actions/Action.h"
#include "Errors.h"
#include "MultiEngine/ServerSecurity.h"
#include "Output/CallTraceReporter.h"
#include "Output/EvaluationWatcher.h"
#include "Output/EventRecorder.h"
#include "Output/LogForwarder.h"
#include "Output/LogVerbosity.h"
#include "Output/Reporter.h"
#include "Output/ServerCallLine.h"
#include "Output/StatusWatcher.h"
#include "Run/EditorWorld.h"
#include "Run/PluginDescriptor.h"
#include "Run/PluginEngineOptions.h"
#include "Run/ProjectFolder.h"
#include "Scenario/Scenario.h"
#include "State/RunState.h"
#include "State/StudioState.h"
#include "State/UmgWidgets.h"

#include "Blueprint/GameViewportSubsystem.h"
#include "Framework/Application/SlateApplication.h"
#include "HeadlessEngineLoop.h"
#include "HeadlessLiveLinkClient.h"
#include "Misc/App.h"
#include "Misc/CallTrace.h"
#include "Modules/ModuleManager.h"
#include "UObject/Object.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>

#ifndef QUARN_PLUGIN_DIR
#error "QUARN_PLUGIN_DIR must name the plug-in root, ending in '/'"
#endif

namespace quarnlive::run
{
	namespace
	{
		/** The widgets on the viewport in paint order (lowest Z-order first), by their umg.widgets names; null without a viewport. */
		nlohmann::ordered_json viewportWidgets(const state::MadeWidgets& widgets)
		{
			const UGameViewportSubsystem* viewport = UGameViewportSubsystem::Get();
			if (!viewport)
			{
				return nullptr;
			}
			nlohmann::ordered_json names = nlohmann::ordered_json::array();
			for (const UWidget* widget : viewport->GetWidgets())
			{
				const std::string name = state::widgetName(widgets, widget);
				names.push_back(name.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(name));
			}
			return names;
		}

		// Fixed steps add up with rounding; a frame "reaches" a time within this margin.
		constexpr double timeMargin = 1e-9;

		bool reached(double now, double time)
		{
			return now + timeMargin >= time;
		}

		output::Stamp currentStamp()
		{
			return output::Stamp{FApp::GetCurrentTime(), FHeadlessEngineLoop::GetFrameNumber()};
		}

		/**
		 * The timecode counts frames of the scenario's rate: 30 -> 30/1, 29.97 -> 30000/1001.
		 * Timecode has no frames slower than one a second, so slow-motion test runs count at 1/1.
		 */
		FFrameRate timecodeRate(double framesPerSecond)
		{
			const double whole = std::round(framesPerSecond);
			if (framesPerSecond < 1.0)
			{
				return FFrameRate(1, 1);
			}
			if (std::abs(framesPerSecond - whole) < 1e-9)
			{
				return FFrameRate(static_cast<int32>(whole), 1);
			}
			const double ntsc = std::round(framesPerSecond * 1.001);
			if (std::abs(framesPerSecond - ntsc * 1000.0 / 1001.0) < 1e-3)
			{
				return FFrameRate(static_cast<int32>(ntsc) * 1000, 1001);
			}
			return FFrameRate(static_cast<int32>(std::round(framesPerSecond * 1000.0)), 1000);
		}

		bool useColor(std::FILE* out)
		{
			return ::isatty(::fileno(out)) && std::getenv("NO_COLOR") == nullptr;
		}

		bool savingPackageOf(const nlohmann::ordered_json& state)
		{
			if (!state.contains("engine"))
			{
				return false;
			}
			return state.at("engine").value("savingPackage", false);
		}

		/**
		 * The shared default project keeps what earlier runs wrote; a scenario that says nothing
		 * of media assets would silently see theirs. A project given with --project is the
		 * user's own business.
		 */
		void warnOfLeftoverAssets(const RunOptions& options, const scenario::Scenario& scenario, const std::filesystem::path& projectDir, std::FILE* err)
		{
			if (options.project || scenario.state.contains("mediaAssets"))
			{
				return;
			}
			const std::vector<std::string> assets = mediaAssetsIn(projectDir);
			if (assets.empty())
			{
				return;
			}
			std::string names;
			for (const std::string& name : assets)
			{
				names += (names.empty() ? "" : ", ") + name;
			}
			std::fprintf(err,
				"quarnlive: note: the default project %s holds media assets from earlier runs (%s) and this scenario does not set "
				"mediaAssets; the video status sees them. Pass --project DIR for a project of your own.\n",
				projectDir.string().c_str(), names.c_str());
		}

		/**
		 * Boots in the constructor, shuts down in the destructor, whatever happens between.
		 * runState outlives the session.
		 */
		class EngineSession
		{
		public:
			EngineSession(const FHeadlessEngineOptions& options, state::RunState& runState)
				: world_(runState.editorWorld)
			{
				FHeadlessLiveLinkClient::Register();
				FSlateApplication::Create();
				const FDelegateHandle multiEngine = FHeadlessEngineLoop::OnPreSubsystems().AddLambda([&runState] { state::applyMultiEngineChoice(runState); });
				FHeadlessEngineLoop::Boot(options);
				FHeadlessEngineLoop::OnPreSubsystems().Remove(multiEngine);
				openEditorWorld(world_);
			}
			~EngineSession()
			{
				closeEditorWorld(world_);
				FHeadlessEngineLoop::Shutdown();
				FSlateApplication::Shutdown();
				FHeadlessLiveLinkClient::Get().Reset();
				FHeadlessLiveLinkClient::Unregister();
			}
			EngineSession(const EngineSession&) = delete;
			EngineSession& operator=(const EngineSession&) = delete;

		private:
			TWeakObjectPtr<UWorld>& world_;
		};
	} // namespace

	void runScenario(const RunOptions& options, std::FILE* out, std::FILE* err, const std::function<void()>& atEnd)
	{
		const std::filesystem::path pluginDir = QUARN_PLUGIN_DIR;
		const scenario::Scenario scenario = scenario::load(options.scenario.value_or(pluginDir / "Examples" / "DefaultScenario.json"));
		if (options.until)
		{
			scenario.checkRunLength(*options.until, "--until");
		}
		const std::vector<std::string> moduleNames = readModuleNames(pluginDir / "QuarnPranto.uplugin");
		const std::filesystem::path projectDir = prepareProjectFolder(options.project);
		// A server the scenario starts takes the project's studio key and allow-list, as `engine` does.
		multiengine::useServerSecurity(multiengine::resolveServerSecurity(std::nullopt, std::nullopt, projectDir), quarn::QuarnVirtualProductionServer::instance());
		warnOfLeftoverAssets(options, scenario, projectDir, err);
		const double end = options.until.value_or(scenario.defaultEnd());

		std::unique_ptr<output::Reporter> reporter = options.json ? output::makeJsonReporter(out) : output::makeHumanReporter(out, useColor(out));
		output::LogForwarder logForwarder(*reporter, currentStamp, err);
		std::optional<output::CallTraceReporter> tracer;
		if (options.trace)
		{
			tracer.emplace([&reporter](nlohmann::ordered_json fields, const std::string& text) { reporter->line(currentStamp(), "trace", fields, text); },
				quarn::QuarnVirtualProductionServer::instance());
		}

		FHeadlessEngineOptions engineOptions = pluginEngineOptions(scenario.editor, projectDir, pluginDir, moduleNames);
		engineOptions.TimecodeRate = timecodeRate(scenario.frameRate);

		std::vector<output::NamedStatus> finalStatuses;
		nlohmann::ordered_json finalExtra = nlohmann::ordered_json::object();
		output::Stamp finalStamp;
		{
			output::setLogVerbosities(options.logVerbosity);
			state::RunState runState;
			runState.scenarioTimecodeRate = engineOptions.TimecodeRate;
			runState.fakeServer.recordTo([&reporter](const std::string& function, const nlohmann::ordered_json& arguments, const nlohmann::ordered_json& result) {
				output::reportServerCall(*reporter, currentStamp(), function, arguments, result);
			});
			{
				const FCallTrace::FSuspendScope hostSetUp;
				state::applyBeforeBoot(scenario.state, runState);
			}
			EngineSession session(engineOptions, runState);
			// The trace shows what the module does, not the host: the host's own code (state,
			// actions, watchers) runs suspended; the engine's frames and what an action hands to
			// the module (actions::asModule) record, and so do boot and shut-down around this scope.
			const FCallTrace::FSuspendScope hostCode;
			for (const std::string& name : moduleNames)
			{
				if (!FModuleManager::Get().IsModuleLoaded(FName(name.c_str())))
				{
					throw RuntimeFailure("module " + name + " of the plug-in descriptor could not be loaded");
				}
			}
			state::apply(scenario.state, nlohmann::ordered_json(), runState);
			nlohmann::ordered_json appliedState = scenario.state;

			output::StatusWatcher watcher;
			watcher.poll(currentStamp(), *reporter);
			output::EventRecorder events(*reporter, currentStamp);
			output::EvaluationWatcher evaluations;

			std::unique_ptr<IEngineClock> clock;
			if (options.realtime)
			{
				clock = std::make_unique<FRealTimeClock>(scenario.frameRate);
			}
			else
			{
				clock = std::make_unique<FFixedStepClock>(scenario.frameRate);
			}

			actions::Context context;
			context.reporter = reporter.get();
			context.widgets = &runState.widgets;
			// A frame of the engine loop, as the run loop and the actions that tick run it.
			context.tick = [&](double deltaSeconds, const output::Stamp& stamp) {
				evaluations.beforeTick();
				{
					const FCallTrace::FResumeScope engineFrame;
					FHeadlessEngineLoop::Tick(deltaSeconds);
				}
				evaluations.afterTick(deltaSeconds, stamp, *reporter);
				watcher.poll(stamp, *reporter);
			};
			std::size_t nextEntry = 0;
			while (!reached(FApp::GetCurrentTime(), end))
			{
				const output::Stamp stamp = currentStamp();
				context.now = stamp.time;
				context.frame = stamp.frame;
				if (context.savingPackageUntil && reached(stamp.time, *context.savingPackageUntil))
				{
					context.savingPackageUntil.reset();
					GIsSavingPackage = savingPackageOf(appliedState);
				}
				while (nextEntry < scenario.timeline.size() && reached(stamp.time, scenario.timeline[nextEntry].at))
				{
					const scenario::TimelineEntry& entry = scenario.timeline[nextEntry++];
					if (entry.isSet)
					{
						reporter->action(stamp, "set", nlohmann::ordered_json{{"patch", entry.patch}});
						state::apply(entry.stateAfter, appliedState, runState);
						appliedState = entry.stateAfter;
						// A package save in progress outlasts the state's flag.
						GIsSavingPackage = GIsSavingPackage || context.savingPackageUntil.has_value();
					}
					else
					{
						reporter->action(stamp, entry.action, entry.arguments);
						context.entryPath = entry.path;
						actions::findAction(entry.action)->run(entry.arguments, context);
					}
					watcher.poll(stamp, *reporter);
				}
				context.tick(clock->WaitForNextFrame(), stamp);
			}
			finalStamp = currentStamp();
			finalStatuses = watcher.snapshot();
			finalExtra["evaluation"] = output::EvaluationWatcher::current();
			finalExtra["viewport"] = viewportWidgets(runState.widgets);
			if (atEnd)
			{
				atEnd();
			}
		}
		reporter->final(finalStamp, finalStatuses, finalExtra);
	}
} // namespace quarnlive::run
