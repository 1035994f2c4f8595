// End to end: hostile scenario files end with exit code 2 and a message that names the place,
// never with a crash or a run that does not end: nesting, numbers and run length.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		std::string repeat(const std::string& text, std::size_t count)
		{
			std::string result;
			result.reserve(text.size() * count);
			for (std::size_t index = 0; index < count; ++index)
			{
				result += text;
			}
			return result;
		}
	} // namespace

	/** Runs a scenario written as raw text and expects a refusal naming file and place. */
	class ScenarioLimits : public HostTest
	{
	protected:
		std::filesystem::path writeText(const std::string& name, const std::string& text) const
		{
			const std::filesystem::path file = scratch / name;
			std::ofstream(file, std::ios::binary) << text;
			return file;
		}

		void expectRefused(const std::filesystem::path& file, const std::string& placeAndProblem, const std::vector<std::string>& extra = {}) const
		{
			const RunResult result = runJson(file, extra);
			EXPECT_EQ(result.exitCode, 2) << result.err;
			EXPECT_EQ(result.out, "") << "refused before the engine boots";
			const std::string expected = "quarnlive: " + file.string() + (placeAndProblem[0] == '$' ? ": " : ":") + placeAndProblem;
			EXPECT_NE(result.err.find(expected), std::string::npos) << "expected: " << expected << "\ngot: " << result.err;
		}
	};

	using DeepNesting = ScenarioLimits;

	TEST_F(DeepNesting, ATimelinePatchNestedSeventyThousandDeepIsRefusedBeforeItIsMerged)
	{
		// 420 KB; the merge patch used to recurse through it and overflow the stack.
		const std::size_t depth = 70000;
		const std::string prefix = R"({"timeline":[{"at":1,"set":)";
		const std::filesystem::path file = writeText("DeepPatch.json", prefix + repeat(R"({"a":)", depth) + "1" + repeat("}", depth) + "}]}");
		// Levels 1 to 4 are the scenario, the timeline, the entry and the patch; level 65 opens the 62nd "a".
		expectRefused(file, "1:" + std::to_string(prefix.size() + 1 + 61 * 5) + ": nested too deeply: objects and arrays may nest at most 64 levels");
	}

	TEST_F(DeepNesting, DeepArraysAreRefusedAtTheFirstBracketTooDeep)
	{
		const std::filesystem::path file = writeText("DeepArrays.json", "{\n\t\"state\": " + repeat("[", 100000) + repeat("]", 100000) + "\n}");
		// Line 2 is a tab, 8 characters of key and colon, a space: the brackets start at column 11.
		expectRefused(file, "2:" + std::to_string(11 + 63) + ": nested too deeply");
	}

	TEST_F(DeepNesting, SixtyFourLevelsAreParsedAndCheckedAsUsual)
	{
		// The scenario, state, zentrels and count's 61 arrays make 64 levels.
		const std::filesystem::path file = writeText("Deep64.json", R"({"state":{"zentrels":{"count":)" + repeat("[", 61) + repeat("]", 61) + "}}}");
		expectRefused(file, "$.state.zentrels.count: expected an integer, got an array");

		const std::filesystem::path tooDeep = writeText("Deep65.json", R"({"state":{"zentrels":{"count":)" + repeat("[", 62) + repeat("]", 62) + "}}}");
		expectRefused(tooDeep, "1:" + std::to_string(31 + 61) + ": nested too deeply");
	}

	TEST_F(DeepNesting, BracketsInsideStringsDoNotCountTowardsThePlace)
	{
		const std::string decoy = R"({"note":"[[{{ \"[[ {{",)";
		const std::filesystem::path file = writeText("Decoy.json", decoy + "\n\"state\":" + repeat("[", 70) + repeat("]", 70) + "}");
		expectRefused(file, "2:" + std::to_string(9 + 63) + ": nested too deeply");
	}

	using NumberRange = ScenarioLimits;

	TEST_F(NumberRange, NumbersBeyondADoubleAreRefusedWhereTheyStand)
	{
		expectRefused(writeText("Huge.json", "{\n\t\"duration\": 1e400\n}"),
			"2:14: number 1e400 is out of range: numbers must fit a double (magnitude below 1.8e308)");
		expectRefused(writeText("NegativeHuge.json", R"({"timeline": [{"at": 1, "action": "overrideStatus", "status": "lens", "color": [1, -1e400, 0, 1]}]})"),
			"1:84: number -1e400 is out of range");
		// An integer too long for 64 bits is read as a double, and this one is too long even for that.
		expectRefused(writeText("LongInteger.json", "{\"frameRate\": 1" + std::string(400, '0') + "}"), "1:15: number 1" + std::string(400, '0') + " is out of range");
	}

	TEST_F(NumberRange, SyntaxErrorsKeepTheirLineAndColumn)
	{
		expectRefused(std::filesystem::path(HOST_FIXTURES) / "BadSyntax.json",
			"4:37: invalid JSON: syntax error while parsing object key - unexpected '}'; expected string literal");
		expectRefused(writeText("Trailing.json", "{}\n{}"), "2:1: invalid JSON: syntax error while parsing value - unexpected '{'; expected end of input");
	}

	using RunLength = ScenarioLimits;

	TEST_F(RunLength, ADurationOfMoreThanTenMillionFramesIsRefused)
	{
		// Used to be accepted, and the run never ended.
		expectRefused(writeScenario("Forever.json", {{"duration", 1e300}}),
			"$.duration: 1e+300 s at 30 frames per second is 3e+301 frames: a run has at most 10000000 frames");
		expectRefused(writeScenario("JustOver.json", {{"frameRate", 1000}, {"duration", 10000.001}}), "$.duration: 10000.001 s at 1000 frames per second is 10000001 frames");
	}

	TEST_F(RunLength, TheDefaultEndAfterAFarEntryIsRefusedAtThatEntry)
	{
		const nlohmann::json scenario = {{"timeline", {{{"at", 1}, {"action", "beginPlay"}}, {{"at", 1e12}, {"action", "endPlay"}}}}};
		expectRefused(writeScenario("FarEntry.json", scenario),
			"$.timeline[1].at: the run ends 2.5 s after the last entry, at 1000000000002.5 s; at 30 frames per second that is 30000000000075 frames: "
			"a run has at most 10000000 frames");
	}

	TEST_F(RunLength, AnEntryPastAGivenDurationNeverRunsAndIsNoProblem)
	{
		const nlohmann::json scenario = {{"duration", 1}, {"timeline", {{{"at", 1e300}, {"action", "beginPlay"}}}}};
		const RunResult result = runJson(writeScenario("Late.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(result.jsonLines().back().value("frame", -1), 30);
	}

	TEST_F(RunLength, UntilIsCountedInTheScenariosFrames)
	{
		const std::filesystem::path slow = writeScenario("Slow.json", {{"frameRate", 1}});
		const std::filesystem::path fast = writeScenario("Fast.json", {{"frameRate", 1000}});
		const RunResult accepted = runJson(slow, {"--until", "500000"});
		ASSERT_EQ(accepted.exitCode, 0) << accepted.err;
		EXPECT_EQ(accepted.jsonLines().back().value("frame", -1), 500000);

		const RunResult refused = runJson(fast, {"--until", "500000"});
		EXPECT_EQ(refused.exitCode, 2);
		EXPECT_EQ(refused.out, "");
		EXPECT_NE(refused.err.find("quarnlive: --until: 500000 s at 1000 frames per second is 500000000 frames: a run has at most 10000000 frames"),
			std::string::npos)
			<< refused.err;
	}

	TEST_F(RunLength, AFrameRateBelowAThousandthIsRefused)
	{
		expectRefused(writeScenario("Glacial.json", {{"frameRate", 0.0001}}), "$.frameRate: 0.0001 is out of range: expected at least 0.001");
		const RunResult slowest = runJson(writeScenario("Slowest.json", {{"frameRate", 0.001}, {"duration", 1}}));
		ASSERT_EQ(slowest.exitCode, 0) << slowest.err;
		EXPECT_EQ(slowest.jsonLines().back().value("frame", -1), 1) << "one frame of 1000 s passes the end";
	}
} // namespace quarnlive::test
