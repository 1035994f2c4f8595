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

	TEST_F(BadInput, ListsAndMapsOfTheSectionsNameWhatTheyHoldAndTheEntryAtFault)
	{
		const std::pair<const char*, const char*> cases[] = {
			{R"({"cameras": {"actors": 1}})", "$.state.cameras.actors: expected an object of cameras by actor name, got number 1"},
			{R"({"cameras": {"actors": {"": {}}}})", "$.state.cameras.actors: a camera needs an actor name"},
			{R"({"cameras": {"actors": {"Cam": {"tags": "x"}}}})", "$.state.cameras.actors.Cam.tags: expected an array of tags, got string \"x\""},
			{R"({"cameras": {"actors": {"Cam": {"tags": ["a", ""]}}}})", "$.state.cameras.actors.Cam.tags[1]: a tag needs a name"},
			{R"({"cameras": {"actors": {"Cam": {"blendables": 1}}}})", "$.state.cameras.actors.Cam.blendables: expected an array of blendables, got number 1"},
			{R"({"cameras": {"actors": {"Cam": {"blendables": [{}, {"weight": "x"}]}}}})",
				"$.state.cameras.actors.Cam.blendables[1].weight: expected a number, got string \"x\""},
			{R"({"umg": {"widgets": 1}})", "$.state.umg.widgets: expected an object of widgets by name, got number 1"},
			{R"({"umg": {"widgets": {"": {"elements": []}}}})", "$.state.umg.widgets: a widget needs a name"},
			{R"({"umg": {"widgets": {"W": {"elements": 3}}}})", "$.state.umg.widgets.W.elements: expected an array of elements, got number 3"},
			{R"({"umg": {"widgets": {"W": {"elements": [{"type": "box", "size": [1, 1]}, {"type": "blob"}]}}}})",
				"$.state.umg.widgets.W.elements[1].type: unknown value \"blob\""},
			{R"({"umg": {"widgets": {"W": {"elements": [], "animations": 1}}}})", "$.state.umg.widgets.W.animations: expected an array of animations, got number 1"},
			{R"({"umg": {"widgets": {"W": {"elements": [{"type": "box", "size": [1, 1]}], "animations": [{"element": 1, "property": "x", "from": 0, "to": 1, "duration": 1}]}}}})",
				"$.state.umg.widgets.W.animations[0].element: 1 is out of range: expected 0 to 0"},
			{R"({"liveLink": {"sources": 1}})", "$.state.liveLink.sources: expected an object of sources by name, got number 1"},
			{R"({"liveLink": {"sources": {"S": {"subjects": 1}}}})", "$.state.liveLink.sources.S.subjects: expected an object of subjects by name, got number 1"},
			{R"({"liveLink": {"sources": {"S": {"subjects": {"": {}}}}}})", "$.state.liveLink.sources.S.subjects: a subject needs a name"},
			// A source may go without a name; its entries are still checked.
			{R"({"liveLink": {"sources": {"": {"settings": "bogus"}}}})", "$.state.liveLink.sources[\"\"].settings: unknown value \"bogus\""},
			{R"({"liveLink": {"sources": {"S": {"subjects": {"T": {"enabled": 1}}}}}})", "$.state.liveLink.sources.S.subjects.T.enabled: expected true or false, got number 1"},
			{R"({"mediaAssets": {"files": 1}})", "$.state.mediaAssets.files: expected an array of asset names, got number 1"},
			{R"({"mediaAssets": {"files": ["ok", "a b"]}})", "$.state.mediaAssets.files[1]: invalid asset name \"a b\": expected letters, digits, '_' or '-'"},
		};
		for (const auto& [state, problem] : cases)
		{
			const std::filesystem::path file = writeScenario("Broken.json", {{"state", nlohmann::json::parse(state)}});
			const RunResult result = runJson(file);
			EXPECT_EQ(result.exitCode, 2) << state;
			EXPECT_NE(result.err.find(file.string() + ": " + problem), std::string::npos) << state << "\n"
																						  << result.err;
		}
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
