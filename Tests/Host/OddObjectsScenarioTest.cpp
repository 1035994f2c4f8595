// End to end: actors of other classes, cameras left stale in the VP subsystems' lists, frames of
// a type derived from the Quarn frame and blendables that are the material itself.

#include "HostRun.h"

#include <map>

namespace quarnlive::test
{
	namespace
	{
		const std::string red = "\"Red\"";
		const std::string yellow = "\"Yellow\"";
		const std::string green = "\"Green\"";

		const std::string nothingReceiving = "LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's "
											 "LiveLink component select the appropriate LiveLink subject.";
	} // namespace

	class OddObjects : public HostTest
	{
	};

	TEST_F(OddObjects, TheExampleShowsWhatEachOddObjectChanges)
	{
		const RunResult result = runJson(std::filesystem::path(HOST_FIXTURES) / ".." / ".." / ".." / "Examples" / "OddObjects.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;

		EXPECT_EQ(sequenceOf(result, "TrackingStatus"), (StatusSequence{{red, ""}, {green, ""}, {yellow, nothingReceiving}}));
		EXPECT_EQ(sequenceOf(result, "LensStatus"),
			(StatusSequence{
				{red, ""},
				{green, ""},
				{yellow, "Tracking frame has lens data but not distorting for subject StageCam on camera QuarnCamera. Make sure the Post-Process material is "
						 "enabled on the Camera Component, and 'Apply Distortion' is checked on the Lens Distortion Component"},
				{yellow, "LiveLink subject StageCam has lens data, but nothing in the scene is receiving"},
			}));
		EXPECT_EQ(sequenceOf(result, "VideoStatus"),
			(StatusSequence{{red, ""}, {green, ""}, {red, "No QuarnCamera found in the scene. Add a QuarnStage to your scene to enable the video I/O"}}));
	}

	struct ActorClassCase
	{
		const char* actorClass;
		/** The tracking message when the actor's controller receives an Optical Fair subject. */
		std::string tracking;
		bool bTakesTheWidget;
	};

	TEST_F(OddObjects, OnlyThePluginsCamerasReceiveTrackingAndAllButPlainActorsTakeTheWidgets)
	{
		const std::string belowGood = "At least one tracked actor has < Optical Good: Cam has status Optical Fair";
		const ActorClassCase cases[] = {
			{"camera", belowGood, true},
			{"derivedCamera", belowGood, true},
			{"cameraBase", nothingReceiving, true},
			{"actor", nothingReceiving, false},
		};
		for (const ActorClassCase& actorCase : cases)
		{
			nlohmann::json scenario = nlohmann::json::parse(R"({
				"frameRate": 10,
				"duration": 3,
				"state": {
					"zentrels": { "count": 1 },
					"liveLink": { "sources": { "Studio": { "subjects": { "StageCam": { "frame": { "frameStatus": "Optical Fair" } } } } } },
					"cameras": { "actors": { "Cam": { "controller": { "controlledSubject": "StageCam" } } } },
					"umg": { "widgets": { "Bar": { "elements": [ { "type": "box", "size": [10, 10], "color": "#FF0000" } ] } } }
				},
				"timeline": [
					{ "at": 0.5, "action": "addWidget", "widget": "Bar", "size": [10, 10] },
					{ "at": 2.5, "action": "blendableWeight", "camera": "Cam", "index": 0, "weight": 1 }
				]
			})");
			scenario["state"]["cameras"]["actors"]["Cam"]["class"] = actorCase.actorClass;
			const RunResult result = runJson(writeScenario("Class.json", scenario));

			const StatusSequence tracking = sequenceOf(result, "TrackingStatus");
			ASSERT_FALSE(tracking.empty()) << actorCase.actorClass << ": " << result.err;
			EXPECT_EQ(tracking.back(), (std::pair<std::string, std::string>{yellow, actorCase.tracking})) << actorCase.actorClass;
			// The widget's material is the only blendable there can be at index 0.
			EXPECT_EQ(result.exitCode, actorCase.bTakesTheWidget ? 0 : 1) << actorCase.actorClass << ": " << result.err;
			if (!actorCase.bTakesTheWidget)
			{
				EXPECT_NE(result.err.find("the camera \"Cam\" has 0 blendable(s), no index 0"), std::string::npos) << result.err;
			}
		}
	}

	TEST_F(OddObjects, StaleCamerasAreNotCountedAndNoPatchMakesTheCamerasAnew)
	{
		for (const bool bStale : {false, true})
		{
			nlohmann::json scenario = nlohmann::json::parse(R"({
				"base": "healthyStudio",
				"frameRate": 1,
				"duration": 4,
				"state": {
					"cameras": { "actors": { "Second": {}, "Third": {} } },
					"umg": { "widgets": { "Bar": { "elements": [ { "type": "box", "size": [10, 10], "color": "#FF0000" } ] } } }
				},
				"timeline": [
					{ "at": 1, "action": "addWidget", "widget": "Bar", "size": [10, 10] },
					{ "at": 2, "set": { "zentrels": { "count": 2 } } },
					{ "at": 3, "action": "blendableWeight", "camera": "QuarnCamera", "index": 1, "weight": 1 }
				]
			})");
			scenario["state"]["cameras"]["actors"]["Third"]["stale"] = bStale;
			const RunResult result = runJson(writeScenario("Stale.json", scenario));
			// A camera made anew at 2 s would have lost the widget's blendable added at 1 s.
			ASSERT_EQ(result.exitCode, 0) << "stale: " << bStale << ": " << result.err;

			const StatusSequence expected = bStale
				? StatusSequence{{red, ""}, {green, ""}}
				: StatusSequence{{red, ""}, {red, "Too many cameras found in the scene. There should only be one QuarnCamera for Augmented Reality mode"}};
			EXPECT_EQ(sequenceOf(result, "VideoStatus"), expected) << "stale: " << bStale;
		}
	}

	TEST_F(OddObjects, AFrameOfADerivedTypeReadsAsTheQuarnFrameAndOthersAreNotEvaluated)
	{
		const nlohmann::json scenario = nlohmann::json::parse(R"({
			"frameRate": 1,
			"duration": 3,
			"state": {
				"zentrels": { "count": 1 },
				"liveLink": { "sources": { "Studio": { "subjects": {
					"Plain": { "frame": { "frameStatus": "Optical Good", "lensDataLevel": 0.5, "rawZoom": 7 } },
					"Derived": { "frame": { "frameStatus": "Optical Good", "lensDataLevel": 0.5, "rawZoom": 7, "derived": true } },
					"Missing": { "trackingStatusText": "Optical Good", "frame": "none" }
				} } } }
			}
		})");
		const RunResult result = runJson(writeScenario("Frames.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;

		const std::vector<nlohmann::json> evaluations = result.linesOfType("evaluation");
		ASSERT_FALSE(evaluations.empty()) << result.out;
		std::map<std::string, nlohmann::json> frames;
		for (const nlohmann::json& snapshot : evaluations.back()["snapshots"])
		{
			frames[snapshot["subject"].get<std::string>()] = snapshot["frame"];
		}
		ASSERT_EQ(frames.size(), 2u) << evaluations.back().dump();
		EXPECT_EQ(frames["Derived"], frames["Plain"]);
		EXPECT_EQ(frames["Derived"]["RawZoom"], 7);

		bool bMissingLogged = false;
		for (const nlohmann::json& line : result.linesOfType("log"))
		{
			bMissingLogged = bMissingLogged || line.value("message", "") == "FrameData was nullptr for Subject Missing";
		}
		EXPECT_TRUE(bMissingLogged) << "evaluating a subject without a frame fails";
	}

	TEST_F(OddObjects, OddKeysAreCheckedBeforeBoot)
	{
		const std::pair<const char*, const char*> cases[] = {
			{R"({"cameras": {"actors": {"Cam": {"class": "drone"}}}})", "$.state.cameras.actors.Cam.class: unknown value \"drone\""},
			{R"({"cameras": {"actors": {"Cam": {"stale": "yes"}}}})", "$.state.cameras.actors.Cam.stale: expected true or false, got string \"yes\""},
			{R"({"cameras": {"actors": {"Cam": {"class": "cameraBase", "stale": true}}}})",
				"$.state.cameras.actors.Cam.stale: only the VP subsystems' cameras (class \"camera\" or \"derivedCamera\") can be left stale in their lists"},
			{R"({"cameras": {"actors": {"Cam": {"blendables": [{"material": "M", "instance": 0}]}}}})",
				"$.state.cameras.actors.Cam.blendables[0].instance: expected true or false, got number 0"},
			{R"({"cameras": {"actors": {"Cam": {"blendables": [{"material": "M", "instance": false, "dynamic": true}]}}}})",
				"$.state.cameras.actors.Cam.blendables[0].dynamic: a blendable without an instance holds the material itself, which is neither dynamic nor constant"},
			{R"({"liveLink": {"sources": {"S": {"subjects": {"T": {"frame": {"derived": "yes"}}}}}}})",
				"$.state.liveLink.sources.S.subjects.T.frame.derived: expected true or false, got string \"yes\""},
		};
		for (const auto& [state, problem] : cases)
		{
			const std::filesystem::path file = writeScenario("Broken.json", {{"state", nlohmann::json::parse(state)}});
			const RunResult result = runJson(file);
			EXPECT_EQ(result.exitCode, 2) << state;
			EXPECT_EQ(result.out, "") << state;
			EXPECT_NE(result.err.find(file.string() + ": " + problem), std::string::npos) << state << ": " << result.err;
		}
	}
} // namespace quarnlive::test
