// End to end: the bundled scenario, the run's end, the output shapes and game runs.

#include "HostRun.h"

#include <set>

namespace quarnlive::test
{
	namespace
	{
		const std::vector<std::string> chainStatuses = {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus"};

		void expectStamped(const nlohmann::json& line)
		{
			EXPECT_TRUE(line.contains("time") && line["time"].is_number()) << line;
			EXPECT_TRUE(line.contains("frame") && line["frame"].is_number_integer()) << line;
			EXPECT_TRUE(line.contains("type") && line["type"].is_string()) << line;
		}

		nlohmann::json finalLine(const RunResult& result)
		{
			const std::vector<nlohmann::json> lines = result.jsonLines();
			return lines.empty() ? nlohmann::json() : lines.back();
		}
	} // namespace

	class DefaultScenario : public HostTest
	{
	};

	TEST_F(DefaultScenario, RunsToAFinalLineWithEveryStatus)
	{
		const RunResult result = run({"run", "--json", "--project", project().string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(result.err, "");

		const std::vector<nlohmann::json> lines = result.jsonLines();
		ASSERT_GE(lines.size(), 5u);
		std::uint64_t lastFrame = 0;
		for (const nlohmann::json& line : lines)
		{
			expectStamped(line);
			EXPECT_GE(line.value("frame", 0u), lastFrame) << "frames go back at " << line;
			lastFrame = line.value("frame", 0u);
		}

		// The initial values come first, at time 0 of frame 0.
		for (std::size_t index = 0; index < chainStatuses.size(); ++index)
		{
			EXPECT_EQ(lines[index]["type"], "status");
			EXPECT_EQ(lines[index]["name"], chainStatuses[index]);
			EXPECT_EQ(lines[index]["time"], 0.0);
			EXPECT_EQ(lines[index]["frame"], 0);
		}

		const nlohmann::json& last = lines.back();
		ASSERT_EQ(last["type"], "final");
		for (const char* name : {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus", "VideoInput", "VideoOutput"})
		{
			ASSERT_TRUE(last["statuses"].contains(name)) << name;
			EXPECT_TRUE(last["statuses"][name].contains("color"));
			EXPECT_TRUE(last["statuses"][name]["message"].is_string());
		}
	}

	TEST_F(DefaultScenario, ShowsStatusesChanging)
	{
		const RunResult result = run({"run", "--json", "--project", project().string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> tracking = statusLines(result.jsonLines(), "TrackingStatus");
		std::set<std::string> colors;
		for (const nlohmann::json& line : tracking)
		{
			colors.insert(line["color"].dump());
		}
		EXPECT_GE(colors.size(), 2u) << "the default scenario should make the tracking status change";
	}

	TEST_F(DefaultScenario, ShowsAProblemInEveryLegAndEndsAllGreen)
	{
		const RunResult result = run({"run", "--json", "--project", project().string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		for (const char* name : {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus"})
		{
			bool problemShown = false;
			for (const nlohmann::json& line : statusLines(lines, name))
			{
				problemShown = problemShown || !line["message"].get<std::string>().empty();
			}
			EXPECT_TRUE(problemShown) << name;
			EXPECT_EQ(lines.back()["statuses"][name]["color"], "Green") << name;
		}
	}

	TEST_F(DefaultScenario, PrintsPlainTextWithoutColourWhenPiped)
	{
		const RunResult result = run({"run", "--project", project().string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_NE(result.out.find("TrackingStatus"), std::string::npos);
		EXPECT_NE(result.out.find("Final statuses at 24.00 s, frame 720"), std::string::npos) << result.out;
		EXPECT_EQ(result.out.find('\x1b'), std::string::npos) << "ANSI codes in piped output";
		EXPECT_EQ(result.out.find('{' + std::string("\"time\"")), std::string::npos);
	}

	TEST_F(DefaultScenario, CreatesTheProjectFolderItIsGiven)
	{
		const std::filesystem::path nested = scratch / "new" / "Project";
		const RunResult result = run({"run", "--json", "--until", "0.5", "--project", nested.string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(std::filesystem::is_directory(nested / "Config"));
		EXPECT_TRUE(std::filesystem::is_directory(nested / "Content"));
	}

	class RunEnd : public HostTest
	{
	};

	TEST_F(RunEnd, FollowsDurationTimelineOrUntil)
	{
		struct Case
		{
			const char* what;
			nlohmann::json scenario;
			std::vector<std::string> extra;
			double time;
			int frame;
		};
		const std::vector<Case> cases = {
			{"no timeline: 5 s", {{"frameRate", 10}}, {}, 5.0, 50},
			{"2.5 s after the last entry", {{"frameRate", 10}, {"timeline", {{{"at", 4}, {"action", "beginPlay"}}}}}, {}, 6.5, 65},
			{"duration wins", {{"frameRate", 10}, {"duration", 2}, {"timeline", {{{"at", 4}, {"action", "beginPlay"}}}}}, {}, 2.0, 20},
			{"--until wins", {{"frameRate", 10}, {"duration", 2}}, {"--until", "1"}, 1.0, 10},
		};
		for (const Case& testCase : cases)
		{
			SCOPED_TRACE(testCase.what);
			const RunResult result = runJson(writeScenario("End.json", testCase.scenario), testCase.extra);
			ASSERT_EQ(result.exitCode, 0) << result.err;
			const nlohmann::json last = finalLine(result);
			EXPECT_EQ(last["type"], "final");
			EXPECT_NEAR(last["time"].get<double>(), testCase.time, 1e-6);
			EXPECT_EQ(last["frame"], testCase.frame);
		}
	}

	TEST_F(RunEnd, EntriesAfterTheEndNeverRun)
	{
		const nlohmann::json scenario = {{"frameRate", 10}, {"duration", 1}, {"timeline", {{{"at", 3}, {"action", "beginPlay"}}}}};
		const RunResult result = runJson(writeScenario("Late.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		for (const nlohmann::json& line : result.jsonLines())
		{
			EXPECT_NE(line["type"], "action") << line;
		}
	}

	class RunKind : public HostTest
	{
	};

	TEST_F(RunKind, EditorAndGameRunsBothWatchTheVideoInputAndOutput)
	{
		const auto watched = [this](const char* kind) {
			const RunResult result = runJson(writeScenario("Kind.json", {{"run", kind}, {"frameRate", 10}, {"duration", 0.5}}));
			EXPECT_EQ(result.exitCode, 0) << result.err;
			std::vector<std::string> names;
			for (const nlohmann::json& line : result.jsonLines())
			{
				if (line["type"] == "status" && line["frame"] == 0)
				{
					names.push_back(line["name"]);
				}
			}
			return names;
		};
		std::vector<std::string> all = chainStatuses;
		all.insert(all.end(), {"VideoInput", "VideoOutput"});
		EXPECT_EQ(watched("editor"), all);
		EXPECT_EQ(watched("game"), all);
	}

	TEST_F(RunKind, ActionsAreReportedWithTheirArgumentsAndOddColoursAsComponents)
	{
		const nlohmann::json scenario = {{"frameRate", 10},
			{"timeline",
				{{{"at", 0.5}, {"action", "beginPlay"}},
					{{"at", 0.5}, {"action", "overrideStatus"}, {"status", "lens"}, {"color", {1, 0.5, 0, 1}}, {"message", "odd"}},
					{{"at", 1}, {"set", {{"zentrels", {{"count", 3}}}}}}}}};
		const RunResult result = runJson(writeScenario("Actions.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();
		std::vector<nlohmann::json> actions;
		for (const nlohmann::json& line : lines)
		{
			if (line["type"] == "action")
			{
				actions.push_back(line);
			}
		}
		ASSERT_EQ(actions.size(), 3u);
		EXPECT_EQ(actions[1]["frame"], 5);
		EXPECT_EQ(actions[1]["action"], "overrideStatus");
		EXPECT_EQ(actions[1]["status"], "lens");
		EXPECT_EQ(actions[1]["message"], "odd");
		EXPECT_EQ(actions[2]["frame"], 10);
		EXPECT_EQ(actions[2]["action"], "set");
		EXPECT_EQ(actions[2]["patch"], (nlohmann::json{{"zentrels", {{"count", 3}}}}));

		const std::vector<nlohmann::json> lens = statusLines(lines, "LensStatus");
		ASSERT_GE(lens.size(), 2u);
		EXPECT_EQ(lens[1]["frame"], 5);
		EXPECT_EQ(lens[1]["color"], (nlohmann::json{{"r", 1.0}, {"g", 0.5}, {"b", 0.0}, {"a", 1.0}}));
		EXPECT_EQ(lens[1]["message"], "odd");
	}
} // namespace quarnlive::test
