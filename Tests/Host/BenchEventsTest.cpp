// End to end: the module's events in `run`, raised by server callbacks injected on a thread
// of their own. These runs start the multi-engine server, each on a loopback address of its
// own (127.0.0.81 to .87), so callbacks reach a follower as they would from the network.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		nlohmann::json followerOn(const std::string& address, nlohmann::json timeline)
		{
			return {{"frameRate", 10}, {"duration", 0.5}, {"state", {{"multiEngine", {{"enabled", true}, {"bindAddress", address}, {"role", "follower"}}}}},
				{"timeline", std::move(timeline)}};
		}
	} // namespace

	class RunEvents : public HostTest
	{
	};

	TEST_F(RunEvents, EachReceivedCommandRaisesTheBlueprintEventThenTheNativeDelegateOnTheGameThread)
	{
		const nlohmann::json timeline = {{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "selectCamera"}, {"value", 4}},
			{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "triggerCustomEight"}, {"value", {1, 2, 3, 4, 5, 6, 7, 8}}}};
		const RunResult result = runJson(writeScenario("Events.json", followerOn("127.0.0.81", timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> events = result.linesOfType("event");
		ASSERT_EQ(events.size(), 4u) << result.out;
		EXPECT_EQ(events[0]["name"], "SelectCamera");
		EXPECT_EQ(events[0]["blueprint"], true);
		EXPECT_EQ(events[0]["delegate"], "On Select Camera");
		EXPECT_EQ(events[1]["name"], "SelectCamera");
		EXPECT_EQ(events[1]["blueprint"], false);
		for (const nlohmann::json& event : {events[0], events[1]})
		{
			EXPECT_EQ(event["args"], nlohmann::json::array({4}));
			EXPECT_EQ(event["gameThread"], true);
		}
		EXPECT_EQ(events[2]["name"], "ReceiveCustomEight");
		EXPECT_EQ(events[3]["args"], nlohmann::json::array({1, 2, 3, 4, 5, 6, 7, 8}));
	}

	TEST_F(RunEvents, AMasterRaisesNothingForAReceivedCommand)
	{
		nlohmann::json scenario = followerOn("127.0.0.82", {{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "play"}}});
		scenario["state"]["multiEngine"]["role"] = "master";
		const RunResult result = runJson(writeScenario("Master.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(result.linesOfType("event").empty()) << result.out;
	}

	TEST_F(RunEvents, AFollowerAnswersTheTimecodeQueryAtOnce)
	{
		const RunResult result = runJson(writeScenario("Timecode.json", followerOn("127.0.0.83", {{{"at", 0.2}, {"action", "injectCallback"}, {"callback", "getTimecode"}}})));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> answers = result.linesOfType("callback");
		ASSERT_EQ(answers.size(), 1u);
		EXPECT_EQ(answers[0]["answer"]["frames"], 2) << "0.2 s at ten frames a second";
	}

	TEST_F(RunEvents, AFollowerAnswersWithThePinnedTimecodeAndRate)
	{
		nlohmann::json scenario = followerOn("127.0.0.93",
			{{{"at", 0.2}, {"action", "injectCallback"}, {"callback", "getTimecode"}}, {{"at", 0.4}, {"action", "injectCallback"}, {"callback", "getTimecode"}}});
		scenario["state"]["engine"] = {{"timecode", {{"hours", 1}, {"minutes", 2}, {"seconds", 3}, {"frames", 4}, {"dropFrame", true}}}, {"timecodeRate", "30000/1001"}};
		const RunResult result = runJson(writeScenario("PinnedTimecode.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> answers = result.linesOfType("callback");
		ASSERT_EQ(answers.size(), 2u);
		for (const nlohmann::json& answer : answers)
		{
			EXPECT_EQ(answer["answer"]["hours"], 1);
			EXPECT_EQ(answer["answer"]["minutes"], 2);
			EXPECT_EQ(answer["answer"]["seconds"], 3);
			EXPECT_EQ(answer["answer"]["frames"], 4) << "frames leave a pinned timecode alone";
			EXPECT_NEAR(answer["answer"]["framesPerSecond"].get<double>(), 29.97, 1e-3);
		}
		const std::vector<nlohmann::json> logs = result.linesOfType("log");
		ASSERT_FALSE(logs.empty());
		EXPECT_EQ(logs.back()["message"], "Sending timecode 01:02:03;04 @ 29.97 fps to Quarn Virtual Production Server");
	}

	class LogVerbosity : public HostTest
	{
	};

	TEST_F(LogVerbosity, SilencesTheModuleWhenSetToErrorsOnly)
	{
		const std::filesystem::path scenario = writeScenario("Quiet.json", followerOn("127.0.0.84", nlohmann::json::array()));
		const RunResult loud = runJson(scenario);
		const RunResult quiet = runJson(scenario, {"--log-verbosity", "LogQuarnLive=Error"});
		ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
		EXPECT_FALSE(loud.linesOfType("log").empty()) << "the server's start is logged";
		EXPECT_TRUE(quiet.linesOfType("log").empty()) << quiet.out;
	}

	class EngineEdits : public HostTest
	{
	};

	TEST_F(EngineEdits, StandardInputEditsTheRunningEngineAndShowsBothFollowerLists)
	{
		const std::string input = "state\noverride-master\nset OtherMultiEngineIps 127.0.0.5 bogus\nadd-ip 010.0.0.9\nstate\nset bShouldBroadcastRecord maybe\nquit\n";
		const RunResult result = run({"engine", "--json", "--bind", "127.0.0.85", "--project", project().string()}, input);
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> states = result.linesOfType("state");
		ASSERT_EQ(states.size(), 4u) << result.out;
		EXPECT_EQ(states[0]["master"], false) << "without --role the project's setting decides";
		EXPECT_EQ(states[1]["master"], false) << "overriding the role waits for the next settings change";
		EXPECT_EQ(states[3]["master"], true);
		EXPECT_EQ(states[3]["followersRaw"], nlohmann::json::array({"127.0.0.5", "bogus", "10.0.0.9"}));
		// The bad address is left out; the added one is saved but counts from the next settings change.
		EXPECT_EQ(states[3]["followersValidated"], nlohmann::json::array({"127.0.0.5"}));
		const std::vector<nlohmann::json> errors = result.linesOfType("error");
		ASSERT_EQ(errors.size(), 1u);
		EXPECT_NE(errors[0]["message"].get<std::string>().find("'maybe' is not a valid value for bShouldBroadcastRecord"), std::string::npos);
	}

	class BenchExamples : public HostTest
	{
	};

	TEST_F(BenchExamples, InjectedCallbacksShowsTheHeldCommandsRaisedWhenPumped)
	{
		const RunResult result = runJson(std::filesystem::path(QUARN_SOURCE_DIR) / "Examples" / "InjectedCallbacks.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;
		std::vector<std::string> order;
		for (const nlohmann::json& line : result.jsonLines())
		{
			if (line["type"] == "event" || line["type"] == "pump")
			{
				order.push_back(line["type"].get<std::string>() + ":" + line.value("name", ""));
			}
		}
		const std::vector<std::string> expected = {"event:SettingsChanged", "event:Play", "event:Play", "event:SelectCamera", "event:SelectCamera", "pump:",
			"event:ReceiveCustomTransform", "event:ReceiveCustomTransform"};
		EXPECT_EQ(order, expected) << "the settings change overtakes the held commands";
	}

	TEST_F(BenchExamples, LibraryCallsReadsTheHealthyStudiosSnapshot)
	{
		const RunResult result = runJson(std::filesystem::path(QUARN_SOURCE_DIR) / "Examples" / "LibraryCalls.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;
		nlohmann::json snapshots;
		for (const nlohmann::json& line : result.linesOfType("library"))
		{
			if (line["function"] == "GetSnapshots")
			{
				snapshots = line["outputs"]["ReturnValue"];
			}
		}
		ASSERT_EQ(snapshots.size(), 1u) << result.out;
		EXPECT_EQ(snapshots[0]["controllerOwner"], "QuarnCamera");
	}
} // namespace quarnlive::test
