// End to end: `run --trace` shows the calls the module makes, in order, and nothing of what
// the host does to set a run up. Runs that start the multi-engine server bind 127.0.0.87
// (the bundled example), .89 or .91 and send to .88, .90 or .92, where nobody listens.

#include "HostRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quarnlive::test
{
	namespace
	{
		std::vector<nlohmann::json> traceLines(const std::vector<nlohmann::json>& lines)
		{
			std::vector<nlohmann::json> found;
			std::copy_if(lines.begin(), lines.end(), std::back_inserter(found), [](const nlohmann::json& line) { return line.value("type", "") == "trace"; });
			return found;
		}

		std::vector<std::string> functionsOf(const std::vector<nlohmann::json>& traces, const std::string& module, std::optional<int> frame = std::nullopt)
		{
			std::vector<std::string> functions;
			for (const nlohmann::json& line : traces)
			{
				if (line.value("module", "") == module && (!frame || line.value("frame", -1) == *frame))
				{
					functions.push_back(line.value("function", ""));
				}
			}
			return functions;
		}

		std::size_t indexOf(const std::vector<nlohmann::json>& lines, const std::function<bool(const nlohmann::json&)>& matches)
		{
			const auto found = std::find_if(lines.begin(), lines.end(), matches);
			return static_cast<std::size_t>(found - lines.begin());
		}

		nlohmann::json masterOn(const std::string& address)
		{
			return {{"multiEngine", {{"enabled", true}, {"bindAddress", address}, {"role", "master"}}}};
		}
	} // namespace

	class CallTrace : public HostTest
	{
	};

	TEST_F(CallTrace, OneEvaluationAsksLiveLinkInTheModulesOrder)
	{
		const RunResult result = runJson(writeScenario("Eval.json", {{"frameRate", 1}, {"duration", 3}, {"state", oneSubjectState()}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> traces = traceLines(result.jsonLines());
		// The first evaluation runs in frame 2: each source, its settings, then the subjects under it.
		EXPECT_EQ(functionsOf(traces, "LiveLink", 2),
			(std::vector<std::string>{"GetSources", "GetSourceSettings", "GetSubjects", "GetSubjectSettings", "GetSubjectRole_AnyThread", "EvaluateFrame_AnyThread"}))
			<< result.out;
		EXPECT_TRUE(functionsOf(traces, "LiveLink", 1).empty()) << "no evaluation before frame 2";
		for (const nlohmann::json& line : traces)
		{
			if (line.value("function", "") == "GetSubjects")
			{
				EXPECT_EQ(line["arguments"], (nlohmann::json{{"bIncludeDisabledSubject", false}, {"bIncludeVirtualSubject", false}}));
				EXPECT_EQ(line["result"], (nlohmann::json::array({{{"Source", 0}, {"SubjectName", "StageCam"}}})));
			}
			if (line.value("function", "") == "EvaluateFrame_AnyThread")
			{
				EXPECT_EQ(line["arguments"]["SubjectName"], "StageCam");
				EXPECT_EQ(line["result"], true);
				EXPECT_EQ(line["gameThread"], true);
			}
		}
	}

	TEST_F(CallTrace, EachEvaluationCountsTheZentrelsOnce)
	{
		const RunResult result = runJson(writeScenario("Count.json", {{"frameRate", 1}, {"duration", 6}, {"state", oneSubjectState()}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		const auto evaluations = std::count_if(lines.begin(), lines.end(), [](const nlohmann::json& line) { return line.value("type", "") == "evaluation"; });
		ASSERT_EQ(evaluations, 2) << result.out;
		const std::vector<std::string> functions = functionsOf(traceLines(lines), "QuarnVirtualProduction");
		EXPECT_EQ(std::count(functions.begin(), functions.end(), "UQuarnZentrelSubsystem::GetZentrelNum"), evaluations) << result.out;
	}

	TEST_F(CallTrace, AnEvaluationShowsEachLegsQueriesWithTheirAnswers)
	{
		const nlohmann::json scenario = {{"base", "healthyStudio"}, {"frameRate", 1}, {"duration", 3}, {"state", {{"cameraCalibration", {{"present", false}}}}}};
		const RunResult result = runJson(writeScenario("Legs.json", scenario), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		std::vector<nlohmann::json> evaluation;
		for (const nlohmann::json& line : traceLines(result.jsonLines()))
		{
			if (line.value("frame", -1) == 2)
			{
				evaluation.push_back(line);
			}
		}
		const auto answerOf = [&](const std::string& function, const nlohmann::json& arguments) {
			const std::size_t at = indexOf(evaluation, [&](const nlohmann::json& line) { return line["function"] == function && line["arguments"] == arguments; });
			return at < evaluation.size() ? evaluation[at]["result"] : nlohmann::json("not called");
		};
		const nlohmann::json none = nlohmann::json::object();
		EXPECT_EQ(answerOf("UEngine::GetEngineSubsystem", {{"Class", "CameraCalibrationSubsystem"}}), nullptr) << result.out;
		EXPECT_EQ(answerOf("AActor::GetComponentByClass", {{"Actor", "QuarnCamera"}, {"ComponentClass", "QuarnLiveLinkComponentController"}}), "LiveLinkController");
		EXPECT_EQ(answerOf("UQuarnVirtualProductionSettings::GetMediaFormatString", none), "1080p25");
		EXPECT_EQ(answerOf("IAssetRegistry::HasAssets", {{"PackagePath", "/Game/Quarn/Media"}, {"bRecursive", true}}), true);
		EXPECT_EQ(answerOf("UQuarnMediaLayout::GetNumInputs", none), 1);
		EXPECT_EQ(answerOf("UQuarnMediaLayout::GetNumOutputs", none), 1);
		EXPECT_EQ(answerOf("UTimedDataMonitorSubsystem::GetEvaluationState", none), "InsideRange");
		// The stand-ins find their own subsystems without a call of the module's.
		EXPECT_EQ(answerOf("UEngine::GetEngineSubsystem", {{"Class", "QuarnZentrelSubsystem"}}), "not called");
	}

	TEST_F(CallTrace, NoServerCallWhileMultiEngineIsDisabled)
	{
		const nlohmann::json timeline = {{{"at", 0.5}, {"action", "callSubsystem"}, {"subsystem", "multiEngine"}, {"function", "BroadcastPlay"}}};
		const RunResult result = runJson(writeScenario("Disabled.json", {{"frameRate", 10}, {"duration", 1}, {"timeline", timeline}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> traces = traceLines(result.jsonLines());
		ASSERT_FALSE(traces.empty()) << "the run traced nothing at all";
		EXPECT_TRUE(functionsOf(traces, "QuarnVirtualProductionAPI").empty()) << result.out;
	}

	TEST_F(CallTrace, AnEnabledMasterStartsTheServerAtBootAndAsksForFollowersBeforeItBroadcasts)
	{
		const nlohmann::json timeline = {{{"at", 0.5}, {"action", "editSettings"}, {"property", "OtherMultiEngineIps"}, {"value", nlohmann::json::array({"127.0.0.90"})}},
			{{"at", 0.5}, {"action", "callSubsystem"}, {"subsystem", "multiEngine"}, {"function", "BroadcastPlay"}}};
		const RunResult result =
			runJson(writeScenario("Master.json", {{"frameRate", 10}, {"duration", 1}, {"state", masterOn("127.0.0.89")}, {"timeline", timeline}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> traces = traceLines(result.jsonLines());
		std::vector<nlohmann::json> server;
		std::copy_if(traces.begin(), traces.end(), std::back_inserter(server), [](const nlohmann::json& line) { return line.value("module", "") == "QuarnVirtualProductionAPI"; });
		ASSERT_EQ(server.size(), 4u) << result.out;
		EXPECT_EQ(server[0]["function"], "start");
		EXPECT_EQ(server[0]["frame"], 0);
		EXPECT_EQ(server[0]["result"], true);
		EXPECT_EQ(server[1]["kind"], "callback");
		EXPECT_EQ(server[1]["function"], "getBroadcastIpsCSV");
		EXPECT_EQ(server[1]["result"], (nlohmann::json{{"ReturnValue", true}, {"ips", "127.0.0.90"}}));
		EXPECT_EQ(server[2]["function"], "broadcastPlay");
		EXPECT_EQ(server[2]["frame"], 5);
		EXPECT_EQ(server[2]["result"], true);
		EXPECT_EQ(server[3]["function"], "stop");
	}

	TEST_F(CallTrace, TheEngineCommandTracesFromBootToShutDown)
	{
		const RunResult result =
			run({"engine", "--json", "--trace", "--bind", "127.0.0.91", "--role", "master", "--followers", "127.0.0.92", "--project", project().string()}, "state\n");
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		const std::size_t start = indexOf(lines, [](const nlohmann::json& line) { return line.value("function", "") == "start"; });
		const std::size_t ready = indexOf(lines, [](const nlohmann::json& line) { return line.value("type", "") == "ready"; });
		const std::size_t state = indexOf(lines, [](const nlohmann::json& line) { return line.value("type", "") == "state"; });
		const std::size_t stop = indexOf(lines, [](const nlohmann::json& line) { return line.value("function", "") == "stop"; });
		ASSERT_LT(stop, lines.size()) << result.out;
		EXPECT_EQ(lines[start]["module"], "QuarnVirtualProductionAPI");
		EXPECT_EQ(lines[start]["result"], true);
		EXPECT_LT(start, ready);
		EXPECT_LT(state, stop);
	}

	TEST_F(CallTrace, TheStatusSubsystemBindsAtBootAndUnbindsAtShutDown)
	{
		const RunResult result = runJson(writeScenario("Bind.json", {{"frameRate", 1}, {"duration", 3}, {"state", oneSubjectState()}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		for (const std::string delegate : {"FEditorDelegates::BeginPIE", "FEditorDelegates::EndPIE"})
		{
			const std::size_t bind = indexOf(lines, [&](const nlohmann::json& line) {
				return line.value("kind", "") == "bind" && line.value("delegate", "") == delegate && line.value("object", "") == "QuarnStatusSubsystem_0";
			});
			const std::size_t unbind = indexOf(lines, [&](const nlohmann::json& line) {
				return line.value("kind", "") == "unbind" && line.value("delegate", "") == delegate && line.value("object", "") == "QuarnStatusSubsystem_0";
			});
			const std::size_t evaluation = indexOf(lines, [](const nlohmann::json& line) { return line.value("type", "") == "evaluation"; });
			ASSERT_LT(bind, lines.size()) << delegate << " never bound\n"
										  << result.out;
			ASSERT_LT(unbind, lines.size()) << delegate << " never unbound\n"
											<< result.out;
			EXPECT_EQ(lines[bind]["function"], "AddUObject");
			EXPECT_EQ(lines[bind]["frame"], 0);
			EXPECT_LT(bind, evaluation);
			EXPECT_GT(unbind, evaluation) << "unbound at shut-down, after the last frame";
			EXPECT_EQ(lines[unbind]["function"], "RemoveAll");
			EXPECT_EQ(lines[unbind]["removed"], 1);
			EXPECT_EQ(lines.back()["type"], "final");
		}
	}

	TEST_F(CallTrace, TheHostsOwnQueriesAreNotTraced)
	{
		// The evaluation watcher asks the client for every source, pending or not, to name the
		// snapshot's source; the module asks only for live ones.
		const RunResult result = runJson(writeScenario("Host.json", {{"frameRate", 1}, {"duration", 3}, {"state", oneSubjectState()}}), {"--trace"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		ASSERT_EQ(std::count_if(lines.begin(), lines.end(), [](const nlohmann::json& line) { return line.value("type", "") == "evaluation"; }), 1);
		std::size_t sourceQueries = 0;
		for (const nlohmann::json& line : traceLines(lines))
		{
			if (line.value("function", "") == "GetSources")
			{
				++sourceQueries;
				EXPECT_EQ(line["arguments"]["bEvenIfPendingKill"], false) << line;
			}
		}
		EXPECT_EQ(sourceQueries, 1u) << result.out;
	}

	TEST_F(CallTrace, WithoutTheOptionNothingElseChanges)
	{
		const std::filesystem::path scenario = writeScenario("Same.json", {{"frameRate", 1}, {"duration", 3}, {"state", oneSubjectState()}});
		const RunResult plain = run({"run", "--json", "--project", (scratch / "Plain").string(), scenario.string()});
		const RunResult traced = run({"run", "--json", "--trace", "--project", (scratch / "Traced").string(), scenario.string()});
		ASSERT_EQ(plain.exitCode, 0) << plain.err;
		ASSERT_EQ(traced.exitCode, 0) << traced.err;
		std::string withoutTrace;
		std::size_t traceCount = 0;
		for (const std::string& line : traced.lines())
		{
			if (nlohmann::json::parse(line).value("type", "") == "trace")
			{
				++traceCount;
				continue;
			}
			withoutTrace += line + "\n";
		}
		EXPECT_GT(traceCount, 0u);
		EXPECT_EQ(withoutTrace, plain.out);
		EXPECT_EQ(traced.err, plain.err);
	}

	TEST_F(CallTrace, TextLinesNameTheCall)
	{
		const RunResult result = run({"run", "--trace", "--project", project().string(), writeScenario("Text.json", {{"frameRate", 1}, {"duration", 3}, {"state", oneSubjectState()}}).string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_NE(result.out.find("LiveLink GetSources(bEvenIfPendingKill=false) -> [0]"), std::string::npos) << result.out;
		EXPECT_NE(result.out.find("bind FEditorDelegates::BeginPIE to QuarnStatusSubsystem_0 (AddUObject)"), std::string::npos) << result.out;
	}

	TEST_F(CallTrace, TheExampleBindsToTheActiveCamerasComponentsDuringPlayAndUnbindsWhenPlayEnds)
	{
		const RunResult result = run({"run", "--json", "--trace", "--project", project().string(), (std::filesystem::path(QUARN_SOURCE_DIR) / "Examples" / "TracedEvaluation.json").string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		std::vector<std::string> pieBindings;
		for (const nlohmann::json& line : traceLines(result.jsonLines()))
		{
			const std::string delegate = line.value("delegate", "");
			if (line.value("frame", -1) == 3 && delegate.find("InPIE") != std::string::npos)
			{
				pieBindings.push_back(line.value("kind", "") + " " + delegate);
			}
		}
		EXPECT_EQ(pieBindings, (std::vector<std::string>{"bind UQuarnLiveLinkComponentController::OnTrackingStatusChangedInPIE", "bind UQuarnLensDistortionComponent::OnLensStatusChangedInPIE", "unbind UQuarnLiveLinkComponentController::OnTrackingStatusChangedInPIE", "unbind UQuarnLensDistortionComponent::OnLensStatusChangedInPIE"}))
			<< result.out;
	}
	// Examples that start a real server run in their own tests, each on an address of its own.
	TEST_F(CallTrace, EveryOtherExampleRunsTracedToItsEnd)
	{
		std::vector<std::filesystem::path> examples;
		for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(std::filesystem::path(QUARN_SOURCE_DIR) / "Examples"))
		{
			const nlohmann::json scenario = entry.path().extension() == ".json" ? nlohmann::json::parse(std::ifstream(entry.path())) : nlohmann::json();
			if (scenario.is_object() && scenario.dump().find("bindAddress") == std::string::npos)
			{
				examples.push_back(entry.path());
			}
		}
		ASSERT_GE(examples.size(), 8u);
		for (const std::filesystem::path& example : examples)
		{
			const RunResult result = run({"run", "--json", "--trace", "--project", project().string(), example.string()});
			ASSERT_EQ(result.exitCode, 0) << example << "\n"
										  << result.err;
			const std::vector<nlohmann::json> lines = result.jsonLines();
			EXPECT_FALSE(traceLines(lines).empty()) << example;
			EXPECT_EQ(lines.back().value("type", ""), "final") << example;
		}
	}
} // namespace quarnlive::test
