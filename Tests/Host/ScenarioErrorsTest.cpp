// End to end: bad scenarios and command lines exit with 2 and say where the problem is.

#include "HostRun.h"

namespace quarnlive::test
{
	struct BrokenScenario
	{
		const char* file;
		/** What stderr must name besides the file: a JSON path or line:column. */
		const char* place;
	};

	void PrintTo(const BrokenScenario& broken, std::ostream* out)
	{
		*out << broken.file;
	}

	class ScenarioErrors : public HostTest, public ::testing::WithParamInterface<BrokenScenario>
	{
	};

	TEST_P(ScenarioErrors, ExitWithTwoNamingFileAndPlace)
	{
		const std::filesystem::path file = std::filesystem::path(HOST_FIXTURES) / GetParam().file;
		const RunResult result = runJson(file);
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_EQ(result.out, "") << "--json output must stay clean";
		EXPECT_NE(result.err.find(file.string() + (GetParam().place[0] == '$' ? ": " : ":") + GetParam().place), std::string::npos)
			<< result.err;
	}

	INSTANTIATE_TEST_SUITE_P(Fixtures, ScenarioErrors,
		::testing::Values(BrokenScenario{"UnknownKey.json", "$.state.zentrels.colour"},
			BrokenScenario{"UnknownTopLevelKey.json", "$.framerate"},
			BrokenScenario{"WrongType.json", "$.timeline[1].set.zentrels.count"},
			BrokenScenario{"WrongColour.json", "$.timeline[0].color[3]"},
			BrokenScenario{"BadSyntax.json", "4:37"},
			BrokenScenario{"OutOfRange.json", "$.frameRate"},
			BrokenScenario{"NegativeCount.json", "$.state.zentrels.count"},
			BrokenScenario{"UnknownAction.json", "$.timeline[1].action"},
			BrokenScenario{"UnknownMode.json", "$.state.vpSettings.compositingMode"},
			BrokenScenario{"BadFrameRateText.json", "$.state.vpSettings.mediaFrameRate"},
			BrokenScenario{"TimelineOutOfOrder.json", "$.timeline[2].at"},
			BrokenScenario{"SetAndAction.json", "$.timeline[0]"},
			BrokenScenario{"MissingArgument.json", "$.timeline[0]"}),
		[](const ::testing::TestParamInfo<BrokenScenario>& info) {
			const std::string file = info.param.file;
			return file.substr(0, file.find('.'));
		});

	class BadInput : public HostTest
	{
	};

	TEST_F(BadInput, MissingScenarioFileIsNamed)
	{
		const std::filesystem::path missing = scratch / "NoSuchScenario.json";
		const RunResult result = runJson(missing);
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find(missing.string()), std::string::npos) << result.err;
	}

	TEST_F(BadInput, BadCommandLinesExitWithTwo)
	{
		const std::vector<std::vector<std::string>> commandLines = {
			{},
			{"walk"},
			{"run", "--bogus"},
			{"run", "--until", "-1"},
			{"run", "--until", "soon"},
			{"run", "a.json", "b.json"},
		};
		for (const std::vector<std::string>& args : commandLines)
		{
			const RunResult result = run(args);
			EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args) << ": " << result.err;
			EXPECT_NE(result.err, "") << testing::PrintToString(args);
		}
	}

	TEST_F(BadInput, ValuesAcceptedInOneFormAreRefusedInAnother)
	{
		// Integers are not numbers with a fraction, and booleans are not 0/1.
		const std::vector<std::pair<nlohmann::json, std::string>> cases = {
			{{{"state", {{"zentrels", {{"count", 2.5}}}}}}, "$.state.zentrels.count"},
			{{{"state", {{"engine", {{"savingPackage", 1}}}}}}, "$.state.engine.savingPackage"},
			{{{"run", "Editor"}}, "$.run"},
			{{{"timeline", {{{"at", 1}, {"set", {{"vpSettings", {{"present", "no"}}}}}}}}}, "$.timeline[0].set.vpSettings.present"},
			{{{"timeline", {{{"at", 1}, {"set", 3}}}}}, "$.timeline[0].set"},
		};
		for (const auto& [scenario, place] : cases)
		{
			const std::filesystem::path file = writeScenario("Bad.json", scenario);
			const RunResult result = runJson(file);
			EXPECT_EQ(result.exitCode, 2) << scenario;
			EXPECT_NE(result.err.find(file.string() + ": " + place), std::string::npos) << scenario << "\n"
																						<< result.err;
		}
	}

	TEST_F(BadInput, PatchesThatRemoveKeysAreAccepted)
	{
		const nlohmann::json scenario = {{"frameRate", 10},
			{"state", {{"zentrels", {{"count", 2}}}}},
			{"timeline", {{{"at", 0.5}, {"set", {{"zentrels", {{"count", nullptr}}}, {"engine", {{"collectingGarbage", true}}}}}}}}};
		const RunResult result = runJson(writeScenario("Remove.json", scenario));
		EXPECT_EQ(result.exitCode, 0) << result.err;
	}
} // namespace quarnlive::test
