// End to end: what the bench shows besides statuses: evaluation lines, library calls, the
// settings page edited in-process, the game thread held and pumped, --log-verbosity.

#include "HostRun.h"

namespace quarnlive::test
{

	class EvaluationLines : public HostTest
	{
	};

	TEST_F(EvaluationLines, FollowEachPeriodicEvaluationWithTheSnapshotsInOrder)
	{
		const RunResult result = runJson(writeScenario("Eval.json", {{"frameRate", 1}, {"duration", 6}, {"state", oneSubjectState()}}));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> evaluations = result.linesOfType("evaluation");
		// Tick time of 3 s is the first that exceeds the 2 s interval; the count then restarts.
		ASSERT_EQ(evaluations.size(), 2u) << result.out;
		EXPECT_EQ(evaluations[0]["frame"], 2);
		EXPECT_EQ(evaluations[1]["frame"], 5);
		const nlohmann::json& snapshot = evaluations[0]["snapshots"].at(0);
		EXPECT_EQ(snapshot["source"], 0);
		EXPECT_EQ(snapshot["subject"], "StageCam");
		EXPECT_TRUE(snapshot["controllerOwner"].is_null()) << "no camera receives the subject";
		EXPECT_EQ(snapshot["frame"]["FrameStatus"], "OpticalGood");
		EXPECT_EQ(snapshot["frame"]["LensDataLevel"], 0.5);
		EXPECT_EQ(snapshot["frame"]["RawZoom"], 7);
		EXPECT_EQ(evaluations[0]["lastSnapshot"], snapshot["frame"]);
		EXPECT_EQ(evaluations[0]["subjectNames"], nlohmann::json::array({"StageCam"}));
	}

	TEST_F(EvaluationLines, TheFinalLineCarriesWhatTheSubsystemHoldsAtTheEnd)
	{
		const RunResult result = runJson(writeScenario("Final.json", {{"frameRate", 1}, {"duration", 4}, {"state", oneSubjectState()}}));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const nlohmann::json last = result.jsonLines().back();
		ASSERT_EQ(last["type"], "final");
		EXPECT_EQ(last["evaluation"]["snapshots"].size(), 1u);
		EXPECT_EQ(last["evaluation"]["cameraSubjectName"], "");
		EXPECT_TRUE(last["evaluation"]["frameNumber"].is_number_integer());
	}

	TEST_F(EvaluationLines, AnExplicitLongTickEvaluatesAtOnce)
	{
		const nlohmann::json scenario = {{"frameRate", 10}, {"duration", 0.5}, {"timeline", {{{"at", 0.1}, {"action", "tick"}, {"seconds", 2.5}}}}};
		const RunResult result = runJson(writeScenario("Tick.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> evaluations = result.linesOfType("evaluation");
		ASSERT_EQ(evaluations.size(), 1u);
		EXPECT_EQ(evaluations[0]["frame"], 1);
	}

	class LibraryCalls : public HostTest
	{
	};

	TEST_F(LibraryCalls, PrintWhatTheFunctionLibraryGivesBack)
	{
		const nlohmann::json scenario = {{"duration", 0.2},
			{"timeline",
				{{{"at", 0.1}, {"action", "callLibrary"}, {"function", "GetVersion"}},
					{{"at", 0.1}, {"action", "callLibrary"}, {"function", "GetMode"}},
					{{"at", 0.1}, {"action", "callSubsystem"}, {"subsystem", "status"}, {"function", "GetModeAsString"}},
					{{"at", 0.1}, {"action", "callSubsystem"}, {"subsystem", "status"}, {"function", "GetSnapshots"}}}}};
		const RunResult result = runJson(writeScenario("Library.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> calls = result.linesOfType("library");
		ASSERT_EQ(calls.size(), 4u);
		EXPECT_EQ(calls[0]["object"], "QuarnLiveFunctionLibrary");
		EXPECT_TRUE(calls[0]["outputs"]["Version"].is_string());
		EXPECT_FALSE(calls[0]["outputs"]["Version"].get<std::string>().empty());
		EXPECT_EQ(calls[1]["outputs"]["Mode"], calls[2]["outputs"]["ReturnValue"]) << "the library reads the mode through the subsystem";
		EXPECT_EQ(calls[3]["outputs"]["ReturnValue"], nlohmann::json::array());
	}

	TEST_F(LibraryCalls, AnUnknownFunctionIsBadInputNamingTheOnesThereAre)
	{
		const nlohmann::json scenario = {{"timeline", {{{"at", 0}, {"action", "callLibrary"}, {"function", "GetNothing"}}}}};
		const RunResult result = runJson(writeScenario("Unknown.json", scenario));
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("$.timeline[0].function"), std::string::npos) << result.err;
		EXPECT_NE(result.err.find("GetVersion"), std::string::npos) << result.err;
	}

	class SettingsEdits : public HostTest
	{
	};

	TEST_F(SettingsEdits, RunTheModulesHandlerWhichBroadcastsTheSettingsChange)
	{
		const nlohmann::json scenario = {{"duration", 0.2},
			{"timeline", {{{"at", 0.1}, {"action", "editSettings"}, {"property", "OtherMultiEngineIps"}, {"value", {"127.0.0.5", "127.0.0.6"}}}}}};
		const RunResult result = runJson(writeScenario("Edit.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> events = result.linesOfType("event");
		ASSERT_FALSE(events.empty());
		EXPECT_EQ(events[0]["name"], "SettingsChanged");
		EXPECT_EQ(events[0]["blueprint"], false);
		EXPECT_EQ(events[0]["gameThread"], true);
		const std::vector<nlohmann::json> settings = result.linesOfType("settings");
		ASSERT_EQ(settings.size(), 1u);
		EXPECT_EQ(settings[0]["value"], nlohmann::json::array({"127.0.0.5", "127.0.0.6"}));
		EXPECT_EQ(settings[0]["saved"], true);
		EXPECT_NE(readWhole(project() / "Config" / "DefaultGame.ini").find("127.0.0.6"), std::string::npos);
	}

	class GameThreadHold : public HostTest
	{
	};

	TEST_F(GameThreadHold, KeepsInjectedCallbacksQueuedUntilPumped)
	{
		const nlohmann::json scenario = {{"frameRate", 10}, {"duration", 0.5},
			{"timeline",
				{{{"at", 0.1}, {"action", "holdGameThread"}},
					{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "play"}},
					{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "selectLevel"}, {"value", 2}},
					{{"at", 0.3}, {"action", "pump"}},
					{{"at", 0.3}, {"action", "pump"}}}}};
		const RunResult result = runJson(writeScenario("Hold.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> pumps = result.linesOfType("pump");
		ASSERT_EQ(pumps.size(), 2u);
		EXPECT_EQ(pumps[0]["tasks"], 2) << "both callbacks stay queued through the held frames";
		EXPECT_EQ(pumps[1]["tasks"], 0);
	}

	TEST_F(GameThreadHold, AnswersTheBroadcastListQueryWithTheStringBeforeAndAfter)
	{
		const nlohmann::json scenario = {{"duration", 0.2},
			{"timeline", {{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "getBroadcastIpsCSV"}, {"ips", "left over"}}}}};
		const RunResult result = runJson(writeScenario("Csv.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> answers = result.linesOfType("callback");
		ASSERT_EQ(answers.size(), 1u);
		EXPECT_EQ(answers[0]["answer"]["before"], "left over");
		// Multi-engine is off in scenario runs unless asked for: nobody is handed the list.
		EXPECT_EQ(answers[0]["answer"]["result"], false);
		EXPECT_EQ(answers[0]["answer"]["after"], "left over");
	}

	class LogVerbosity : public HostTest
	{
	};

	TEST_F(LogVerbosity, RefusesAnUnknownCategoryOrLevel)
	{
		const std::filesystem::path scenario = writeScenario("Any.json", {{"duration", 0.1}});
		const RunResult category = runJson(scenario, {"--log-verbosity", "LogNothing=Log"});
		EXPECT_EQ(category.exitCode, 2);
		EXPECT_NE(category.err.find("no log category named \"LogNothing\""), std::string::npos) << category.err;
		const RunResult level = runJson(scenario, {"--log-verbosity", "LogQuarnLive=Loud"});
		EXPECT_EQ(level.exitCode, 2);
		EXPECT_NE(level.err.find("unknown level \"Loud\""), std::string::npos) << level.err;
	}
} // namespace quarnlive::test
