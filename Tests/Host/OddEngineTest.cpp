// End to end: engine-side objects that are missing or odd (the game check, the engine object
// during ticks, the status subsystem, the plug-in's version text and content), set up by state
// keys and seen through what `run` prints.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		const char* const renderTarget = "/QuarnPranto/live/QuarnUMGToContextRenderTarget2D";

		nlohmann::json healthyWith(const nlohmann::json& state, nlohmann::json timeline = nlohmann::json::array())
		{
			return {{"base", "healthyStudio"}, {"frameRate", 10}, {"duration", 3}, {"state", state}, {"timeline", std::move(timeline)}};
		}

		/** The status of that name on each status line, in order. */
		std::vector<nlohmann::json> statusLines(const RunResult& result, const std::string& name)
		{
			std::vector<nlohmann::json> found;
			for (const nlohmann::json& line : result.linesOfType("status"))
			{
				if (line["name"] == name)
				{
					found.push_back(line);
				}
			}
			return found;
		}
	} // namespace

	class OddEngineChecks : public HostTest
	{
	};

	TEST_F(OddEngineChecks, RefuseWhatTheKeysCannotHoldNamingThePlace)
	{
		const std::pair<const char*, const char*> cases[] = {
			{R"({"engine": {"gameCheck": 3}})", "$.state.engine.gameCheck: "},
			{R"({"engine": {"gameCheck": true}})", "$.state.engine.gameCheck: expected an integer"},
			{R"({"engine": {"timecode": {"hour": 1}}})", "$.state.engine.timecode.hour: unknown key"},
			{R"({"engine": {"timecode": {"frames": 1.5}}})", "$.state.engine.timecode.frames: expected an integer"},
			{R"({"engine": {"timecode": {"dropFrame": 1}}})", "$.state.engine.timecode.dropFrame: expected true or false"},
			{R"({"engine": {"timecode": [1, 2, 3, 4]}})", "$.state.engine.timecode: expected an object"},
			{R"({"engine": {"timecodeRate": "30/0"}})", "$.state.engine.timecodeRate: invalid frame rate"},
			{R"({"engine": {"engineObjectInTicks": 0}})", "$.state.engine.engineObjectInTicks: expected true or false"},
			{R"({"plugin": {"version": 2}})", "$.state.plugin.version: expected a string"},
			{R"({"status": {"present": "no"}})", "$.state.status.present: expected true or false"},
			{R"({"content": {"failToLoad": "Material"}})", "$.state.content.failToLoad: expected an array of asset paths"},
			{R"({"content": {"failToLoad": ["/QuarnPranto/live/Logo"]}})", "$.state.content.failToLoad[0]: unknown asset \"/QuarnPranto/live/Logo\": expected one of"},
		};
		for (const auto& [state, problem] : cases)
		{
			const RunResult result = runJson(writeScenario("Bad.json", {{"state", nlohmann::json::parse(state)}}));
			EXPECT_EQ(result.exitCode, 2) << state;
			EXPECT_NE(result.err.find(std::string("Bad.json: ") + problem), std::string::npos) << result.err;
		}
	}

	struct GameCheckCase
	{
		int value;
		bool bCountsDevices;
	};

	void PrintTo(const GameCheckCase& gameCheck, std::ostream* out)
	{
		*out << "gameCheck " << gameCheck.value;
	}

	class GameCheck : public HostTest, public ::testing::WithParamInterface<GameCheckCase>
	{
	};

	TEST_P(GameCheck, OnlyOneSkipsTheEditorsDeviceCount)
	{
		const nlohmann::json state = {{"engine", {{"gameCheck", GetParam().value}}}, {"zentrels", {{"count", 0}}}};
		const RunResult result = runJson(writeScenario("GameCheck.json", healthyWith(state)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const nlohmann::json tracking = result.jsonLines().back()["statuses"]["TrackingStatus"];
		EXPECT_EQ(tracking["message"] == "No Zentrels found: Use the Zentrels panel to Auto-Configure the Zentrel", GetParam().bCountsDevices) << tracking;
	}

	INSTANTIATE_TEST_SUITE_P(Values, GameCheck, ::testing::Values(GameCheckCase{0, true}, GameCheckCase{1, false}, GameCheckCase{2, true}),
		[](const ::testing::TestParamInfo<GameCheckCase>& info) { return "Value" + std::to_string(info.param.value); });

	class MissingStatusSubsystem : public HostTest
	{
	};

	TEST_F(MissingStatusSubsystem, RunsWithoutStatusesAndLeavesTheLibraryOutputsAtTheirDefaults)
	{
		const nlohmann::json timeline = {{{"at", 2.5}, {"action", "callLibrary"}, {"function", "GetStatus"}}, {{"at", 2.5}, {"action", "callLibrary"}, {"function", "GetMode"}}};
		const RunResult result = runJson(writeScenario("NoStatus.json", healthyWith({{"status", {{"present", false}}}}, timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(result.linesOfType("status").empty()) << result.out;
		EXPECT_TRUE(result.linesOfType("evaluation").empty()) << result.out;
		const std::vector<nlohmann::json> calls = result.linesOfType("library");
		ASSERT_EQ(calls.size(), 2u);
		// The healthy studio would be Green by now; these are FQuarnStatus's defaults.
		for (const char* status : {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus"})
		{
			EXPECT_EQ(calls[0]["outputs"]["Status"][status]["Color"], "(R=1.000000,G=0.000000,B=0.000000,A=1.000000)") << status;
			EXPECT_EQ(calls[0]["outputs"]["Status"][status]["Message"], "") << status;
		}
		EXPECT_EQ(calls[1]["outputs"]["Mode"], "");
		const nlohmann::json final = result.jsonLines().back();
		EXPECT_EQ(final["statuses"], nlohmann::json::object());
		EXPECT_TRUE(final["evaluation"].is_null());
	}

	class UnloadableContent : public HostTest
	{
	};

	TEST_F(UnloadableContent, WithoutTheRenderTargetTheWidgetsAreRegisteredButNothingIsDrawn)
	{
		const nlohmann::json state = {{"content", {{"failToLoad", {renderTarget}}}},
			{"umg", {{"widgets", {{"Bug", {{"elements", {{{"type", "box"}, {"size", {10, 10}}}}}}}}}}}};
		const nlohmann::json timeline = {{{"at", 0.5}, {"action", "addWidget"}, {"widget", "Bug"}, {"size", {1920, 160}}}, {{"at", 0.5}, {"action", "drawWidgets"}}};
		const RunResult result = run({"compose", "--json", "--project", project().string(), "--out", (scratch / "pictures").string(),
			writeScenario("NoTarget.json", healthyWith(state, timeline)).string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(result.linesOfType("final").at(0)["viewport"], nlohmann::json::array({"Bug"}));
		const std::vector<nlohmann::json> notes = result.linesOfType("note");
		ASSERT_EQ(notes.size(), 1u) << result.out;
		EXPECT_EQ(notes[0]["message"], "no render target to write: the UMG context has none");
	}

	class OddEngineExample : public HostTest
	{
	};

	TEST_F(OddEngineExample, ShowsTheVersionTextTheMissingMaterialAndTheMissingEngineObject)
	{
		const RunResult result = runJson(std::filesystem::path(HOST_FIXTURES) / ".." / ".." / ".." / "Examples" / "OddEngine.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> versions = result.linesOfType("library");
		ASSERT_EQ(versions.size(), 2u);
		EXPECT_EQ(versions[0]["outputs"]["Version"], "2.0.0-rc1");
		EXPECT_EQ(versions[1]["outputs"]["Version"], "1.0.0") << "removing the key reads the descriptor again";

		EXPECT_EQ(result.jsonLines().back()["viewport"], nlohmann::json::array()) << "addWidget needs the compositing material";

		const std::vector<nlohmann::json> sync = statusLines(result, "SyncStatus");
		ASSERT_EQ(sync.size(), 4u) << "initial, first evaluation, engine object gone, back: " << result.out;
		EXPECT_EQ(sync[1]["color"], "Green");
		EXPECT_EQ(sync[2]["color"], "Red");
		EXPECT_EQ(sync[2]["message"], "No valid Quarn Media Editor Subsystem");
		EXPECT_GT(sync[2]["time"].get<double>(), 3.0);
		EXPECT_EQ(sync[3]["color"], "Green");
		EXPECT_GT(sync[3]["time"].get<double>(), 6.0);
	}
} // namespace quarnlive::test
