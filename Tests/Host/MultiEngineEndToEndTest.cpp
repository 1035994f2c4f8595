// End to end: `quarnlive engine` processes on 127.0.0.1 (master), 127.0.0.2 and 127.0.0.3
// (followers), talking over the real server on port 10001. These tests hold the ports for
// the whole run (CTest resource lock multi_engine_ports).

#include "HostRun.h"
#include "MultiEngineProcess.h"
#include "PortHolder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>

namespace quarnlive::test
{
	namespace
	{
		const std::string masterAddress = "127.0.0.1";
		const std::string firstFollower = "127.0.0.2";
		const std::string secondFollower = "127.0.0.3";

		struct Event
		{
			std::string name;
			std::vector<double> args;
		};

		std::vector<Event> eventsOf(const EngineProcess& engine)
		{
			std::vector<Event> events;
			for (const nlohmann::json& line : engine.linesOfType("event"))
			{
				Event event{line.at("name").get<std::string>(), {}};
				for (const nlohmann::json& arg : line.at("args"))
				{
					event.args.push_back(arg.get<double>());
				}
				events.push_back(event);
			}
			return events;
		}

		std::string describe(const std::vector<Event>& events)
		{
			std::string text;
			for (const Event& event : events)
			{
				text += "\n  " + event.name;
				for (const double arg : event.args)
				{
					text += " " + std::to_string(arg);
				}
			}
			return text;
		}

		void expectEvents(const std::vector<Event>& actual, const std::vector<Event>& expected)
		{
			ASSERT_EQ(actual.size(), expected.size()) << "got:" << describe(actual) << "\nexpected:" << describe(expected);
			for (std::size_t i = 0; i < expected.size(); ++i)
			{
				EXPECT_EQ(actual[i].name, expected[i].name) << "event " << i;
				ASSERT_EQ(actual[i].args.size(), expected[i].args.size()) << "event " << i << " " << expected[i].name;
				for (std::size_t a = 0; a < expected[i].args.size(); ++a)
				{
					EXPECT_NEAR(actual[i].args[a], expected[i].args[a], 1e-3) << "event " << i << " " << expected[i].name << " argument " << a;
				}
			}
		}

		bool isEventLine(const std::string& line, const std::string& name, const std::string& args)
		{
			const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
			return value.is_object() && value.value("type", "") == "event" && value.value("name", "") == name && value.at("args").dump() == args;
		}
	} // namespace

	class MultiEngineSession : public HostTest
	{
	protected:
		/** A project folder of its own per engine, with optional DefaultGame.ini text. */
		std::filesystem::path projectFor(const std::string& name, const std::string& defaultGame = "")
		{
			const std::filesystem::path folder = scratch / name;
			std::filesystem::create_directories(folder / "Config");
			if (!defaultGame.empty())
			{
				std::ofstream(folder / "Config" / "DefaultGame.ini") << defaultGame;
			}
			return folder;
		}

		/** Starts `quarnlive engine --json` and waits for its ready line. */
		std::unique_ptr<EngineProcess> startEngine(const std::string& role, const std::string& address, const std::filesystem::path& projectDir,
			const std::vector<std::string>& extra = {})
		{
			std::vector<std::string> args = {"engine", "--json", "--role", role, "--bind", address, "--project", projectDir.string()};
			args.insert(args.end(), extra.begin(), extra.end());
			auto engine = std::make_unique<EngineProcess>(args, scratch / (address + "-" + std::to_string(++started_) + ".err"));
			EXPECT_TRUE(engine->waitForType("ready")) << "no ready line from " << address << "; stderr: " << engine->errorOutput();
			return engine;
		}

		/** Ends the engine by closing its input; its exit code once it said it stopped. */
		static int stop(EngineProcess& engine)
		{
			engine.closeInput();
			const int code = engine.waitForExit();
			EXPECT_EQ(engine.linesOfType("stopped").size(), 1u) << engine.errorOutput();
			EXPECT_EQ(code, 0) << engine.errorOutput();
			return code;
		}

		/**
		 * After two broadcast results of its own, an engine has run at least one whole frame
		 * since the first was asked for: every command that reached it before has been raised.
		 */
		static void drainFrames(EngineProcess& engine)
		{
			const std::size_t before = engine.linesOfType("broadcast").size();
			engine.send("custom 1");
			engine.send("custom 1");
			ASSERT_TRUE(engine.waitForType("broadcast", before + 2));
		}

		int started_ = 0;
	};

	TEST_F(MultiEngineSession, EveryCommandReachesBothFollowersOnceAndInOrder)
	{
		auto first = startEngine("follower", firstFollower, projectFor("first"));
		// The second follower prints text, so both output forms are checked.
		auto second = std::make_unique<EngineProcess>(
			std::vector<std::string>{"engine", "--role", "follower", "--bind", secondFollower, "--project", projectFor("second").string()},
			scratch / "second.err");
		ASSERT_TRUE(second->waitForLines([](const std::string& line) { return line.rfind("ready: follower on 127.0.0.3:10001, multi-engine enabled", 0) == 0; }, 1, 60s))
			<< readWhole(scratch / "second.err");
		auto master = startEngine("master", masterAddress, projectFor("master"), {"--followers", firstFollower + "," + secondFollower});
		const nlohmann::json ready = master->linesOfType("ready").at(0);
		EXPECT_EQ(ready.at("enabled"), true);
		EXPECT_EQ(ready.at("master"), true);
		EXPECT_EQ(ready.at("followers"), nlohmann::json::array({firstFollower, secondFollower}));
		EXPECT_EQ(ready.at("followersValidated"), nlohmann::json::array({firstFollower, secondFollower}));

		const std::vector<std::string> commands = {
			"play",
			"stop",
			"record start",
			"record stop",
			"camera 2",
			"camera -7",
			"camera-xr 1",
			"level 3",
			"animation 255",
			"animation -1",
			"animation 0",
			"custom 7",
			"custom -1",
			"custom-int -5",
			"custom-int 2147483647",
			"custom-int -2147483648",
			"custom-eight 1 2 3 4 5 6 7 8",
			"custom-eight 0 0 0 0 0 0 0 128",
			"transform 100 0 0 0 0 90 1 1 1",
			"transform -12.5 3 4 30 -45 170 2 0.5 1",
		};
		const std::vector<Event> expected = {
			{"Play", {}},
			{"Stop", {}},
			{"StartRecord", {}},
			{"StopRecord", {}},
			{"SelectCamera", {2}},
			{"SelectCamera", {-7}},
			{"SelectCameraXR", {1}},
			{"SelectLevel", {3}},
			{"AnimationKey", {255}},
			{"AnimationKey", {255}},
			{"AnimationKey", {0}},
			{"ReceiveCustom", {7}},
			{"ReceiveCustom", {255}},
			{"ReceiveCustomInt", {-5}},
			{"ReceiveCustomInt", {2147483647}},
			{"ReceiveCustomInt", {-2147483648.0}},
			{"ReceiveCustomEight", {1, 2, 3, 4, 5, 6, 7, 8}},
			{"ReceiveCustomEight", {0, 0, 0, 0, 0, 0, 0, 128}},
			{"ReceiveCustomTransform", {100, 0, 0, 0, 0, 90, 1, 1, 1}},
			{"ReceiveCustomTransform", {-12.5, 3, 4, 30, -45, 170, 2, 0.5, 1}},
		};
		for (std::size_t i = 0; i < commands.size(); ++i)
		{
			master->send(commands[i]);
			// Bad lines in between are reported and change nothing.
			if (i == 4)
			{
				master->send("camera two");
				master->send("warp 9");
			}
		}
		// Sent last: once it is in, everything before it is in, or never will be.
		master->send("custom-int 424242");
		ASSERT_TRUE(master->waitForType("broadcast", commands.size() + 1));
		for (const nlohmann::json& result : master->linesOfType("broadcast"))
		{
			EXPECT_EQ(result.at("result"), true) << result.dump();
		}
		const std::vector<nlohmann::json> errors = master->linesOfType("error");
		ASSERT_EQ(errors.size(), 2u);
		EXPECT_NE(errors[0].at("message").get<std::string>().find("'two' is not a whole number"), std::string::npos) << errors[0].dump();
		EXPECT_NE(errors[1].at("message").get<std::string>().find("unknown command 'warp'"), std::string::npos) << errors[1].dump();

		ASSERT_TRUE(first->waitForLines([](const std::string& line) { return isEventLine(line, "ReceiveCustomInt", "[424242]"); }, 1, 30s));
		ASSERT_TRUE(second->waitForLines([](const std::string& line) { return line == "event ReceiveCustomInt 424242"; }, 1, 30s));

		std::vector<Event> withMarker = expected;
		withMarker.push_back({"ReceiveCustomInt", {424242}});
		expectEvents(eventsOf(*first), withMarker);

		std::vector<std::string> secondEvents;
		for (const std::string& line : second->lines())
		{
			if (line.rfind("event ", 0) == 0)
			{
				secondEvents.push_back(line);
			}
		}
		ASSERT_EQ(secondEvents.size(), withMarker.size());
		EXPECT_EQ(secondEvents[0], "event Play");
		EXPECT_EQ(secondEvents[9], "event AnimationKey 255");
		EXPECT_EQ(secondEvents[16], "event ReceiveCustomEight 1 2 3 4 5 6 7 8");
		EXPECT_EQ(secondEvents[18], "event ReceiveCustomTransform 100 0 0 0 0 90 1 1 1");
		EXPECT_EQ(secondEvents[19], "event ReceiveCustomTransform -12.5 3 4 30 -45 170 2 0.5 1");

		// A follower's own broadcasts go nowhere.
		first->send("play");
		ASSERT_TRUE(first->waitForType("broadcast"));
		EXPECT_EQ(first->linesOfType("broadcast").at(0).at("result"), false);

		EXPECT_EQ(stop(*master), 0);
		EXPECT_EQ(stop(*first), 0);
		second->closeInput();
		EXPECT_EQ(second->waitForExit(), 0);
		EXPECT_EQ(second->lines().back(), "stopped: end of input");
	}

	TEST_F(MultiEngineSession, AMasterAndADisabledEngineRaiseNothing)
	{
		auto otherMaster = startEngine("master", firstFollower, projectFor("other-master"));
		auto disabled = startEngine("follower", secondFollower, projectFor("disabled", "[/Script/QuarnLive.QuarnLiveSettings]\nbDisableMultiEngine=True\n"));
		EXPECT_EQ(otherMaster->linesOfType("ready").at(0).at("enabled"), true);
		EXPECT_EQ(disabled->linesOfType("ready").at(0).at("enabled"), false);

		const RunResult sent = run({"broadcast", "--json", "camera", "5", "--followers", firstFollower + "," + secondFollower, "--bind", masterAddress,
			"--project", projectFor("sender").string(), "--wait", "1500"});
		EXPECT_EQ(sent.exitCode, 1) << sent.out << sent.err;
		EXPECT_NE(sent.err.find("no acknowledgement within 1500 ms from 127.0.0.3"), std::string::npos) << sent.err;
		std::map<std::string, bool> acknowledged;
		std::map<std::string, std::string> reasons;
		for (const nlohmann::json& line : sent.jsonLines())
		{
			if (line.value("type", "") == "follower")
			{
				acknowledged[line.at("address")] = line.at("acknowledged");
				reasons[line.at("address")] = line.at("reason");
				EXPECT_EQ(line.at("applied"), false);
			}
		}
		// The master's server took the command; the engine dropped it, and the receipt says why.
		EXPECT_EQ(acknowledged, (std::map<std::string, bool>{{firstFollower, true}, {secondFollower, false}}));
		EXPECT_EQ(reasons, (std::map<std::string, std::string>{{firstFollower, "master"}, {secondFollower, "no acknowledgement"}}));

		drainFrames(*otherMaster);
		drainFrames(*disabled);
		EXPECT_TRUE(otherMaster->linesOfType("event").empty());
		EXPECT_TRUE(disabled->linesOfType("event").empty());
		// Without followers, and when disabled, nothing is sent.
		for (const nlohmann::json& result : otherMaster->linesOfType("broadcast"))
		{
			EXPECT_EQ(result.at("result"), false);
		}
		for (const nlohmann::json& result : disabled->linesOfType("broadcast"))
		{
			EXPECT_EQ(result.at("result"), false);
		}
		// A disabled engine has no server, so nothing answers a timecode request there.
		const RunResult timecode = run({"timecode", secondFollower, "--wait", "300"});
		EXPECT_EQ(timecode.exitCode, 1);
		EXPECT_NE(timecode.err.find("no timecode from 127.0.0.3:10001 within 300 ms"), std::string::npos) << timecode.err;

		EXPECT_EQ(stop(*otherMaster), 0);
		EXPECT_EQ(stop(*disabled), 0);
	}

	TEST_F(MultiEngineSession, BroadcastReportsFollowersFromTheProjectList)
	{
		auto first = startEngine("follower", firstFollower, projectFor("first"));
		auto second = startEngine("follower", secondFollower, projectFor("second"));
		// Duplicates and a bad entry stay in the list and are sent to once, or not at all.
		const std::filesystem::path sender = projectFor("sender",
			"[/Script/QuarnLive.QuarnLiveSettings]\n+OtherMultiEngineIps=127.0.0.2\n+OtherMultiEngineIps=127.0.0.3\n"
			".OtherMultiEngineIps=127.0.0.2\n+OtherMultiEngineIps=bad\n.OtherMultiEngineIps=127.0.0.3\n");

		const RunResult sent = run({"broadcast", "--json", "custom-eight", "1", "2", "3", "4", "5", "6", "7", "8", "--bind", masterAddress, "--project", sender.string()});
		EXPECT_EQ(sent.exitCode, 0) << sent.out << sent.err;
		std::vector<std::string> followers;
		for (const nlohmann::json& line : sent.jsonLines())
		{
			if (line.value("type", "") == "follower")
			{
				followers.push_back(line.at("address"));
				EXPECT_EQ(line.at("acknowledged"), true);
				EXPECT_EQ(line.at("applied"), true);
				EXPECT_EQ(line.at("reason"), "raised");
				EXPECT_TRUE(line.at("frame").is_number_unsigned()) << line.dump();
				EXPECT_EQ(line.at("timecode").get<std::string>().size(), 11u) << line.dump();
				EXPECT_GE(line.at("latencyMs").get<double>(), 0.0);
			}
		}
		EXPECT_EQ(followers, (std::vector<std::string>{firstFollower, secondFollower}));

		for (EngineProcess* follower : {first.get(), second.get()})
		{
			ASSERT_TRUE(follower->waitForType("event", 1, 30s));
			drainFrames(*follower);
			expectEvents(eventsOf(*follower), {{"ReceiveCustomEight", {1, 2, 3, 4, 5, 6, 7, 8}}});
		}
		EXPECT_EQ(stop(*first), 0);
		EXPECT_EQ(stop(*second), 0);
	}

	TEST_F(MultiEngineSession, OnlyFollowersReportTheirTimecodeHalvedForMediaFormatKindOne)
	{
		auto master = startEngine("master", masterAddress, projectFor("master"), {"--followers", firstFollower});
		auto plain = startEngine("follower", firstFollower, projectFor("plain"));
		auto halved = startEngine("follower", secondFollower,
			projectFor("halved", "[/Script/QuarnVirtualProduction.QuarnVirtualProductionSettings]\nMediaFormatKind=1\n"));

		const auto ask = [this](const std::string& address) {
			const RunResult result = run({"timecode", "--json", address, "--bind", masterAddress});
			EXPECT_EQ(result.exitCode, 0) << address << ": " << result.err;
			const std::vector<nlohmann::json> lines = result.jsonLines();
			return lines.empty() ? nlohmann::json::object() : lines.at(0);
		};
		const nlohmann::json fromPlain = ask(firstFollower);
		const nlohmann::json fromHalved = ask(secondFollower);
		const nlohmann::json fromMaster = ask(masterAddress);

		// The engines count 60 timecode frames a second.
		EXPECT_EQ(fromPlain.value("framesPerSecond", 0.0), 60.0) << fromPlain.dump();
		EXPECT_LT(fromPlain.value("frames", 99), 60) << fromPlain.dump();
		EXPECT_EQ(fromHalved.value("framesPerSecond", 0.0), 30.0) << fromHalved.dump();
		EXPECT_LT(fromHalved.value("frames", 99), 30) << fromHalved.dump();
		EXPECT_GE(fromPlain.value("roundTripMs", -1.0), 0.0);
		// The master answers with the library's empty timecode and says nothing.
		EXPECT_EQ(fromMaster.value("timecode", ""), "00:00:00:00") << fromMaster.dump();
		EXPECT_EQ(fromMaster.value("framesPerSecond", 0.0), 30.0) << fromMaster.dump();

		const auto sendingLines = [](const EngineProcess& engine) {
			std::size_t count = 0;
			for (const nlohmann::json& line : engine.linesOfType("log"))
			{
				count += line.at("message").get<std::string>().rfind("Sending timecode ", 0) == 0 ? 1 : 0;
			}
			return count;
		};
		const auto isSending = [](const std::string& line) { return line.find("Sending timecode ") != std::string::npos; };
		ASSERT_TRUE(plain->waitForLines(isSending, 1, 10s));
		ASSERT_TRUE(halved->waitForLines(isSending, 1, 10s));
		drainFrames(*master);
		EXPECT_EQ(sendingLines(*plain), 1u);
		EXPECT_EQ(sendingLines(*halved), 1u);
		EXPECT_EQ(sendingLines(*master), 0u);

		EXPECT_EQ(stop(*master), 0);
		EXPECT_EQ(stop(*plain), 0);
		EXPECT_EQ(stop(*halved), 0);
	}

	TEST_F(MultiEngineSession, ATakenPortGivesOneErrorLineAndADisabledEngine)
	{
		const PortHolder holder(masterAddress);
		ASSERT_TRUE(holder.bound());
		auto engine = startEngine("master", masterAddress, projectFor("taken"), {"--followers", firstFollower});

		const nlohmann::json ready = engine->linesOfType("ready").at(0);
		EXPECT_EQ(ready.at("enabled"), false);
		EXPECT_EQ(ready.at("master"), true);
		std::vector<std::string> errors;
		for (const nlohmann::json& line : engine->linesOfType("log"))
		{
			if (line.at("verbosity") == "Error")
			{
				errors.push_back(line.at("message"));
			}
		}
		EXPECT_EQ(errors, (std::vector<std::string>{"Could not start Quarn Virtual Production server. Another instance of Unreal Engine may be running in the background - check Task Manager"}));
		drainFrames(*engine);
		for (const nlohmann::json& result : engine->linesOfType("broadcast"))
		{
			EXPECT_EQ(result.at("result"), false);
		}
		EXPECT_EQ(stop(*engine), 0);
	}

	TEST_F(MultiEngineSession, FollowersStartedLateOrRestartedReceiveWhatIsSentAfterwards)
	{
		auto master = startEngine("master", masterAddress, projectFor("master"), {"--followers", firstFollower + "," + secondFollower});
		auto first = startEngine("follower", firstFollower, projectFor("first"));

		master->send("camera 1");
		ASSERT_TRUE(first->waitForLines([](const std::string& line) { return isEventLine(line, "SelectCamera", "[1]"); }, 1, 30s));
		// The second follower is reported down after a second of silence, and the command it
		// never got is reported lost at its deadline; from then on nobody hands it the old command.
		ASSERT_TRUE(master->waitForLines([](const std::string& line) { return line.find("\"followerDown\"") != std::string::npos && line.find(secondFollower) != std::string::npos; },
			1, 30s));
		ASSERT_TRUE(master->waitForLines([](const std::string& line) { return line.find("\"lost\"") != std::string::npos && line.find(secondFollower) != std::string::npos; },
			1, 30s));
		auto second = startEngine("follower", secondFollower, projectFor("second"));

		master->send("camera 2");
		ASSERT_TRUE(second->waitForLines([](const std::string& line) { return isEventLine(line, "SelectCamera", "[2]"); }, 1, 30s));
		ASSERT_TRUE(first->waitForLines([](const std::string& line) { return isEventLine(line, "SelectCamera", "[2]"); }, 1, 30s));

		// A stop by signal is clean too: the port is free again for the restarted engine.
		first->signal(SIGTERM);
		EXPECT_EQ(first->waitForExit(), 0);
		EXPECT_EQ(first->linesOfType("stopped").at(0).at("reason"), "terminate");
		auto restarted = startEngine("follower", firstFollower, projectFor("first"));
		EXPECT_EQ(restarted->linesOfType("ready").at(0).at("enabled"), true);

		master->send("camera 3");
		ASSERT_TRUE(restarted->waitForLines([](const std::string& line) { return isEventLine(line, "SelectCamera", "[3]"); }, 1, 30s));
		ASSERT_TRUE(second->waitForLines([](const std::string& line) { return isEventLine(line, "SelectCamera", "[3]"); }, 1, 30s));
		drainFrames(*second);
		drainFrames(*restarted);
		expectEvents(eventsOf(*second), {{"SelectCamera", {2}}, {"SelectCamera", {3}}});
		// A restarted follower is a new session: nothing of the old one comes again.
		expectEvents(eventsOf(*restarted), {{"SelectCamera", {3}}});
		ASSERT_TRUE(master->waitForLines([](const std::string& line) { return line.find("\"followerUp\"") != std::string::npos && line.find("\"restarted\":true") != std::string::npos; },
			1, 30s));

		EXPECT_EQ(stop(*master), 0);
		EXPECT_EQ(stop(*second), 0);
		EXPECT_EQ(stop(*restarted), 0);
	}

	TEST_F(MultiEngineSession, AFollowerKilledMidStreamIsUpAgainAndTheMasterNamesWhatItNeverRaised)
	{
		auto master = startEngine("master", masterAddress, projectFor("master"), {"--followers", firstFollower});
		auto first = startEngine("follower", firstFollower, projectFor("first"));
		constexpr int count = 2000;
		for (int value = 0; value < count; ++value)
		{
			master->send("custom-int " + std::to_string(value));
		}
		// The master prints a line per command and a receipt line per command: keep reading its
		// output, or its pipe fills after a hundred or so and it stops sending.
		for (int round = 0; round < 300 && !first->waitForType("event", 100, 100ms); ++round)
		{
			master->waitForLines([](const std::string&) { return false; }, 1, 100ms);
		}
		ASSERT_TRUE(first->waitForType("event", 100, 0ms));
		master->waitForLines([](const std::string&) { return false; }, 1, 0ms);
		first->signal(SIGKILL);
		first->waitForExit();
		std::vector<int> raisedBefore;
		for (const Event& event : eventsOf(*first))
		{
			raisedBefore.push_back(static_cast<int>(event.args.at(0)));
		}

		auto restarted = startEngine("follower", firstFollower, projectFor("first"));
		ASSERT_TRUE(master->waitForLines([](const std::string& line) { return line.find("\"followerUp\"") != std::string::npos && line.find("\"restarted\":true") != std::string::npos; },
			1, 30s));
		// Command numbers count from 1 in the order of the broadcasts: command n is custom-int n-1.
		master->send("custom-int 1000000");
		// Keep reading the master here too: its receipt lines would fill the pipe again.
		const auto marker = [](const std::string& line) { return isEventLine(line, "ReceiveCustomInt", "[1000000]"); };
		for (int round = 0; round < 300 && !restarted->waitForLines(marker, 1, 100ms); ++round)
		{
			master->waitForLines([](const std::string&) { return false; }, 1, 100ms);
		}
		ASSERT_TRUE(restarted->waitForLines(marker, 1, 0ms));
		std::vector<int> raisedAfter;
		for (const Event& event : eventsOf(*restarted))
		{
			raisedAfter.push_back(static_cast<int>(event.args.at(0)));
		}
		ASSERT_EQ(raisedAfter.back(), 1000000);
		raisedAfter.pop_back();
		std::vector<int> lost;
		for (const nlohmann::json& line : master->linesOfType("lost"))
		{
			EXPECT_EQ(line.at("address"), firstFollower);
			for (const nlohmann::json& command : line.at("commands"))
			{
				lost.push_back(command.get<int>() - 1);
			}
		}

		// Every command was raised by one run or the other, or reported lost; none twice. The
		// only overlap possible: a kill between the last event and its receipt.
		std::map<int, int> seen;
		for (const std::vector<int>* part : {&raisedBefore, &raisedAfter})
		{
			for (const int value : *part)
			{
				++seen[value];
			}
		}
		for (const int value : lost)
		{
			const bool lastBeforeKill = !raisedBefore.empty() && value == raisedBefore.back();
			EXPECT_TRUE(seen[value] == 0 || lastBeforeKill) << value << " was raised and reported lost";
			seen[value] = 1;
		}
		for (int value = 0; value < count; ++value)
		{
			EXPECT_EQ(seen[value], 1) << "custom-int " << value;
		}
		EXPECT_TRUE(std::is_sorted(raisedBefore.begin(), raisedBefore.end()));
		EXPECT_TRUE(std::is_sorted(raisedAfter.begin(), raisedAfter.end()));

		master->send("stats");
		ASSERT_TRUE(master->waitForType("stats"));
		EXPECT_EQ(master->linesOfType("stats").at(0).at("sent"), count + 1);
		EXPECT_EQ(master->linesOfType("stats").at(0).at("lost"), lost.size());
		EXPECT_EQ(stop(*master), 0);
		EXPECT_EQ(stop(*restarted), 0);
		// The engine prints its counters once more as it shuts down.
		EXPECT_EQ(master->linesOfType("stats").size(), 2u);
	}

	TEST_F(MultiEngineSession, ScenarioRunsStartTheServerOnlyWhenTheyAskForIt)
	{
		// Held by "another program": a run that tried this address would log the start error.
		const PortHolder holder(masterAddress);
		ASSERT_TRUE(holder.bound());
		const auto serverLines = [](const RunResult& result) {
			std::vector<std::string> messages;
			for (const nlohmann::json& line : result.jsonLines())
			{
				const std::string message = line.value("message", "");
				if (line.value("type", "") == "log" && message.find("Quarn Virtual Production server") != std::string::npos)
				{
					messages.push_back(line.at("verbosity").get<std::string>() + ": " + message);
				}
			}
			return messages;
		};

		const RunResult quiet = runJson(writeScenario("quiet.json", {{"duration", 0.5}}));
		EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
		EXPECT_TRUE(serverLines(quiet).empty());

		const RunResult elsewhere = runJson(writeScenario("elsewhere.json",
			{{"duration", 0.5}, {"state", {{"multiEngine", {{"enabled", true}, {"bindAddress", "127.0.0.2"}, {"role", "follower"}}}}}}));
		EXPECT_EQ(elsewhere.exitCode, 0) << elsewhere.err;
		EXPECT_EQ(serverLines(elsewhere), (std::vector<std::string>{"Log: Started Quarn Virtual Production server"}));

		const RunResult taken = runJson(writeScenario("taken.json", {{"duration", 0.5}, {"state", {{"multiEngine", {{"enabled", true}}}}}}));
		EXPECT_EQ(taken.exitCode, 0) << taken.err;
		ASSERT_EQ(serverLines(taken).size(), 1u);
		EXPECT_EQ(serverLines(taken)[0].rfind("Error: Could not start Quarn Virtual Production server.", 0), 0u) << serverLines(taken)[0];

		const RunResult bad = runJson(writeScenario("bad.json", {{"state", {{"multiEngine", {{"bindAddress", "127.0.0"}}}}}}));
		EXPECT_EQ(bad.exitCode, 2);
		EXPECT_NE(bad.err.find("$.state.multiEngine.bindAddress"), std::string::npos) << bad.err;
	}

	TEST_F(MultiEngineSession, BadArgumentsEndWithExitTwoAndSayWhy)
	{
		const struct
		{
			std::vector<std::string> args;
			std::string message;
		} cases[] = {
			{{"engine", "--role", "boss"}, "--role"},
			{{"engine", "--role", "master", "--bind", "127.0.0"}, "--bind: '127.0.0' is not an IPv4 address"},
			{{"engine", "--role", "master", "--followers", "127.0.0.2,nowhere"}, "--followers: 'nowhere' is not an IPv4 address"},
			{{"broadcast", "camera", "two", "--followers", "127.0.0.2"}, "broadcast: 'two' is not a whole number"},
			{{"broadcast", "animation", "256", "--followers", "127.0.0.2"}, "'256' is not a whole number from -128 to 255"},
			{{"broadcast", "jump", "--followers", "127.0.0.2"}, "unknown command 'jump'"},
			{{"timecode", "127.0.0.256"}, "address: '127.0.0.256' is not an IPv4 address"},
		};
		for (const auto& [args, message] : cases)
		{
			const RunResult result = run(args);
			EXPECT_EQ(result.exitCode, 2) << args.front() << " " << message;
			EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
			EXPECT_TRUE(result.out.empty()) << result.out;
		}
	}
} // namespace quarnlive::test
