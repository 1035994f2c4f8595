// End to end: setting a bench up: a named baseline, the default project's leftovers, and
// what `reflect` shows of the generated descriptors.

#include "HostRun.h"

#include <cstdlib>

namespace quarnlive::test
{
	namespace
	{
		nlohmann::json finalStatuses(const RunResult& result)
		{
			const std::vector<nlohmann::json> lines = result.jsonLines();
			return lines.empty() ? nlohmann::json() : lines.back()["statuses"];
		}
	} // namespace

	class Baseline : public HostTest
	{
	};

	TEST_F(Baseline, TheHealthyStudioEndsAllGreen)
	{
		const RunResult result = runJson(writeScenario("Healthy.json", {{"base", "healthyStudio"}, {"duration", 3}}));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const nlohmann::json statuses = finalStatuses(result);
		for (const char* name : {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus"})
		{
			EXPECT_EQ(statuses[name]["color"], "Green") << name << ": " << statuses[name]["message"];
		}
	}

	TEST_F(Baseline, TheScenarioStateChangesOnlyWhatItNames)
	{
		const nlohmann::json scenario = {{"base", "healthyStudio"}, {"duration", 3}, {"state", {{"sync", {{"timeStepSynchronized", false}}}}}};
		const RunResult result = runJson(writeScenario("Unsynced.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const nlohmann::json statuses = finalStatuses(result);
		EXPECT_EQ(statuses["SyncStatus"]["color"], "Red");
		EXPECT_EQ(statuses["TrackingStatus"]["color"], "Green");
		EXPECT_EQ(statuses["VideoStatus"]["color"], "Green");
	}

	TEST_F(Baseline, AnUnknownOrPathLikeNameIsBadInput)
	{
		const std::string tooLongForTheFileSystem(300, 'r');
		for (const std::string& name : {std::string("sickStudio"), std::string("../Examples/healthyStudio"), tooLongForTheFileSystem})
		{
			const RunResult result = runJson(writeScenario("Bad.json", {{"base", name}}));
			EXPECT_EQ(result.exitCode, 2) << name;
			EXPECT_NE(result.err.find("$.base: no baseline named"), std::string::npos) << result.err;
		}
	}

	class DefaultProject : public HostTest
	{
	};

	TEST_F(DefaultProject, NotesMediaAssetsThatAnEarlierRunLeft)
	{
		::setenv("XDG_DATA_HOME", scratch.c_str(), 1);
		const nlohmann::json withAssets = {{"duration", 0.1}, {"state", {{"mediaAssets", {{"files", {"StudioBundle"}}}}}}};
		const RunResult first = run({"run", "--json", writeScenario("Assets.json", withAssets).string()});
		ASSERT_EQ(first.exitCode, 0) << first.err;
		EXPECT_EQ(first.err, "") << "the scenario sets the assets itself";
		const RunResult second = run({"run", "--json", writeScenario("Plain.json", {{"duration", 0.1}}).string()});
		::unsetenv("XDG_DATA_HOME");
		ASSERT_EQ(second.exitCode, 0) << second.err;
		EXPECT_NE(second.err.find("holds media assets from earlier runs (StudioBundle.uasset)"), std::string::npos) << second.err;
	}

	class Reflect : public HostTest
	{
	};

	TEST_F(Reflect, ShowsTheSettingsClassWithItsConfigPropertiesAndCompiledDefaults)
	{
		const RunResult result = run({"reflect", "UQuarnLiveSettings", "--json"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const nlohmann::json type = nlohmann::json::parse(result.out);
		EXPECT_EQ(type["kind"], "class");
		EXPECT_EQ(type["config"], "Game");
		ASSERT_GE(type["properties"].size(), 2u);
		EXPECT_EQ(type["properties"][0]["name"], "bMultiEngineMaster") << "declaration order";
		EXPECT_EQ(type["properties"][1]["metadata"]["EditCondition"], "bMultiEngineMaster");
		EXPECT_EQ(type["defaults"]["bShouldBroadcastPIE"], true);
	}

	TEST_F(Reflect, ShowsAFunctionsParametersAndAnEnumsDisplayNames)
	{
		const RunResult library = run({"reflect", "QuarnLiveFunctionLibrary", "--json"});
		ASSERT_EQ(library.exitCode, 0) << library.err;
		const nlohmann::json functions = nlohmann::json::parse(library.out)["functions"];
		ASSERT_FALSE(functions.empty());
		EXPECT_EQ(functions[0]["name"], "GetVersion");
		EXPECT_EQ(functions[0]["parameters"][0]["flags"], nlohmann::json::array({"Parm", "OutParm"}));

		const RunResult modes = run({"reflect", "EQuarnVirtualProductionMode", "--json"});
		ASSERT_EQ(modes.exitCode, 0) << modes.err;
		EXPECT_EQ(nlohmann::json::parse(modes.out)["entries"][0]["metadata"]["DisplayName"], "Augmented Reality");
	}

	TEST_F(Reflect, AnUnknownNameIsBadInput)
	{
		const RunResult result = run({"reflect", "QuarnNothing"});
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("no reflected class, struct or enum named \"QuarnNothing\""), std::string::npos) << result.err;
	}
} // namespace quarnlive::test

namespace quarnlive::test
{
	class Viewport : public HostTest
	{
	};

	TEST_F(Viewport, AddWidgetTakesAWidgetOffTheViewportAndPutsItBackAtZOrderZero)
	{
		const nlohmann::json scenario = nlohmann::json::parse(R"({
			"frameRate": 10,
			"duration": 2,
			"state": { "umg": { "widgets": {
				"LowerThird": { "elements": [ { "type": "box", "size": [10, 10] } ] },
				"Bug": { "elements": [ { "type": "box", "size": [10, 10] } ] }
			} } },
			"timeline": [
				{ "at": 0.5, "action": "addToViewport", "widget": "Bug", "zOrder": 5 },
				{ "at": 0.6, "action": "addToViewport", "widget": "LowerThird", "zOrder": 7 },
				{ "at": 1, "action": "addWidget", "widget": "LowerThird", "size": [1920, 1080] }
			]
		})");
		RunResult result = runJson(writeScenario("Viewport.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(result.jsonLines().back()["viewport"], nlohmann::json({"LowerThird", "Bug"})) << result.out;

		// Without the subsystem's call the user's Z-orders hold.
		nlohmann::json userOnly = scenario;
		userOnly["timeline"].erase(2);
		result = runJson(writeScenario("UserOnly.json", userOnly));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(result.jsonLines().back()["viewport"], nlohmann::json({"Bug", "LowerThird"})) << result.out;

		nlohmann::json unknown = scenario;
		unknown["timeline"][0]["widget"] = "Nothing";
		result = runJson(writeScenario("Unknown.json", unknown));
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("no widget named \"Nothing\" in umg.widgets at this time"), std::string::npos) << result.err;
	}
} // namespace quarnlive::test
