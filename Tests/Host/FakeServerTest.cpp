// End to end: runs with "multiEngine.server": "fake", whose server answers the module's calls
// itself, shows each in a `server` line and opens no socket.

#include "HostRun.h"
#include "PortHolder.h"

namespace quarnlive::test
{
	namespace
	{
		nlohmann::json fakeRun(const std::string& role, const nlohmann::json& fakeResults, const nlohmann::json& timeline)
		{
			return {{"frameRate", 10}, {"duration", 0.5}, {"state", {{"multiEngine", {{"enabled", true}, {"role", role}, {"server", "fake"}, {"fakeResults", fakeResults}}}}},
				{"timeline", timeline}};
		}

		nlohmann::json broadcast(double at, const std::string& function, const nlohmann::json& args = nlohmann::json::object())
		{
			return {{"at", at}, {"action", "callSubsystem"}, {"subsystem", "multiEngine"}, {"function", function}, {"args", args}};
		}

		/** Each `server` line as "function arguments result", in order. */
		std::vector<std::string> serverCalls(const RunResult& result)
		{
			std::vector<std::string> calls;
			for (const nlohmann::json& line : result.linesOfType("server"))
			{
				calls.push_back(line["function"].get<std::string>() + " " + line["arguments"].dump() + " " + line["result"].dump());
			}
			return calls;
		}

		/** What each multi-engine Blueprint call returned, in order. */
		std::vector<bool> returnValues(const RunResult& result)
		{
			std::vector<bool> values;
			for (const nlohmann::json& line : result.linesOfType("library"))
			{
				values.push_back(line["outputs"]["ReturnValue"].get<bool>());
			}
			return values;
		}

		std::vector<std::string> moduleErrors(const RunResult& result)
		{
			std::vector<std::string> errors;
			for (const nlohmann::json& line : result.linesOfType("log"))
			{
				if (line["verbosity"] == "Error")
				{
					errors.push_back(line["message"].get<std::string>());
				}
			}
			return errors;
		}

		const std::string startCall = R"(start {"listenPort":10001,"sendPort":10001} true)";
		const std::string stopCall = "stop {} null";
		const std::string startFailed = "Could not start Quarn Virtual Production server. Another instance of Unreal Engine may be running in the background - check Task Manager";
	} // namespace

	class FakeServer : public HostTest
	{
	};

	TEST_F(FakeServer, RecordsTheMastersCallsWithTheirArgumentsFromStartToStop)
	{
		const nlohmann::json timeline = {broadcast(0.1, "BroadcastPlay"), broadcast(0.1, "BroadcastSelectCamera", {{"CameraIndex", 2}}),
			broadcast(0.2, "BroadcastTriggerAnimation", {{"Key", 200}}), broadcast(0.2, "BroadcastTriggerCustomEight", {{"Bytes", "(byte1=1,byte8=255)"}}),
			broadcast(0.3, "BroadcastStop")};
		const RunResult result = runJson(writeScenario("Order.json", fakeRun("master", nlohmann::json::object(), timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<std::string> expected = {startCall, "broadcastPlay {} true", R"(broadcastSelectCamera {"index":2} true)",
			R"(broadcastTriggerAnimation {"key":200} true)", R"(broadcastTriggerCustomEight {"value":[1,0,0,0,0,0,0,255]} true)", "broadcastStop {} true", stopCall};
		EXPECT_EQ(serverCalls(result), expected) << result.out;
		const std::vector<nlohmann::json> lines = result.linesOfType("server");
		EXPECT_EQ(lines.front()["frame"], 0) << "the module starts its server as the engine boots";
		EXPECT_EQ(lines.back()["frame"], 5) << "and stops it as the engine shuts down";
	}

	TEST_F(FakeServer, AFollowersBroadcastsNeverReachTheServer)
	{
		const RunResult result = runJson(writeScenario("Follower.json", fakeRun("follower", nlohmann::json::object(), nlohmann::json::array({broadcast(0.1, "BroadcastPlay")}))));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(serverCalls(result), (std::vector<std::string>{startCall, stopCall}));
		EXPECT_EQ(returnValues(result), std::vector<bool>{false});
	}

	TEST_F(FakeServer, AFailedStartIsLoggedAndEndsMultiEngineWork)
	{
		const RunResult result = runJson(writeScenario("NoStart.json", fakeRun("master", {{"start", false}}, nlohmann::json::array({broadcast(0.1, "BroadcastPlay")}))));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(serverCalls(result), (std::vector<std::string>{R"(start {"listenPort":10001,"sendPort":10001} false)"})) << "no broadcast, and nothing to stop";
		EXPECT_EQ(moduleErrors(result), std::vector<std::string>{startFailed});
		EXPECT_EQ(returnValues(result), std::vector<bool>{false});
	}

	TEST_F(FakeServer, InjectedCallbacksStillReachAFollowerOnTheGameThread)
	{
		const nlohmann::json timeline = {{{"at", 0.1}, {"action", "injectCallback"}, {"callback", "selectLevel"}, {"value", 3}}};
		const RunResult result = runJson(writeScenario("Callbacks.json", fakeRun("follower", nlohmann::json::object(), timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> events = result.linesOfType("event");
		ASSERT_EQ(events.size(), 2u) << result.out;
		for (const nlohmann::json& event : events)
		{
			EXPECT_EQ(event["name"], "SelectLevel");
			EXPECT_EQ(event["args"], nlohmann::json::array({3}));
			EXPECT_EQ(event["gameThread"], true);
		}
	}

	TEST_F(FakeServer, OpensNoSocketSoATakenAddressDoesNotMatter)
	{
		const PortHolder holder("127.0.0.94");
		ASSERT_TRUE(holder.bound());
		nlohmann::json scenario = fakeRun("follower", nlohmann::json::object(), nlohmann::json::array());
		scenario["state"]["multiEngine"]["bindAddress"] = "127.0.0.94";
		const RunResult fake = runJson(writeScenario("Fake.json", scenario));
		ASSERT_EQ(fake.exitCode, 0) << fake.err;
		EXPECT_TRUE(moduleErrors(fake).empty()) << fake.out;

		// The real server on the same address cannot start: the holder does hold it.
		scenario["state"]["multiEngine"]["server"] = "real";
		const RunResult real = runJson(writeScenario("Real.json", scenario));
		ASSERT_EQ(real.exitCode, 0) << real.err;
		EXPECT_EQ(moduleErrors(real), std::vector<std::string>{startFailed});
		EXPECT_TRUE(real.linesOfType("server").empty()) << "only the fake writes server lines";
	}

	TEST_F(FakeServer, TheExampleRefusesOneBroadcastUntilAPatchLetsItThrough)
	{
		const RunResult result = runJson(std::filesystem::path(QUARN_SOURCE_DIR) / "Examples" / "FakeServer.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<std::string> expected = {startCall, "broadcastPlay {} true", R"(broadcastSelectCamera {"index":2} true)", "broadcastStop {} false",
			R"(broadcastTriggerCustomEight {"value":[1,2,0,0,0,0,0,0]} true)", "broadcastStop {} true", stopCall};
		EXPECT_EQ(serverCalls(result), expected) << result.out;
		EXPECT_EQ(returnValues(result), (std::vector<bool>{true, true, false, true, true})) << "the module returns what the server answered";
	}

	TEST_F(FakeServer, BadKeysExitWithTwoNamingTheirPlace)
	{
		const std::pair<nlohmann::json, std::string> cases[] = {
			{{{"state", {{"multiEngine", {{"server", "pretend"}}}}}}, R"($.state.multiEngine.server: unknown value "pretend": expected one of "real", "fake")"},
			{{{"state", {{"multiEngine", {{"server", true}}}}}}, "$.state.multiEngine.server: expected one of"},
			{{{"state", {{"multiEngine", {{"fakeResults", {"start"}}}}}}}, "$.state.multiEngine.fakeResults: expected an object, got an array"},
			{{{"state", {{"multiEngine", {{"fakeResults", {{"broadcastPlay", 0}}}}}}}}, "$.state.multiEngine.fakeResults.broadcastPlay: expected true or false, got number 0"},
			{{{"state", {{"multiEngine", {{"fakeResults", {{"stop", false}}}}}}}}, "$.state.multiEngine.fakeResults.stop: unknown key (known keys: start, broadcastPlay,"},
			{{{"timeline", {{{"at", 1}, {"set", {{"multiEngine", {{"fakeResults", {{"broadcastDance", true}}}}}}}}}}}, "$.timeline[0].set.multiEngine.fakeResults.broadcastDance: unknown key"},
		};
		for (const auto& [scenario, problem] : cases)
		{
			const std::filesystem::path file = writeScenario("Bad.json", scenario);
			const RunResult result = runJson(file);
			EXPECT_EQ(result.exitCode, 2) << scenario;
			EXPECT_NE(result.err.find(file.string() + ": " + problem), std::string::npos) << scenario << "\n"
																						  << result.err;
		}
	}
} // namespace quarnlive::test
