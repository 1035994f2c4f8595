// End to end: the tracking and lens story of Examples/TrackingAndLens.json, and the Live Link
// and camera state that scenarios describe.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		const std::string red = "\"Red\"";
		const std::string yellow = "\"Yellow\"";
		const std::string green = "\"Green\"";
	} // namespace

	class TrackingAndLensScenario : public HostTest
	{
	};

	TEST_F(TrackingAndLensScenario, TellsTheStoryFromNoSourceToGreen)
	{
		const RunResult result = runJson(std::filesystem::path(HOST_FIXTURES) / ".." / ".." / ".." / "Examples" / "TrackingAndLens.json");
		ASSERT_EQ(result.exitCode, 0) << result.err;

		EXPECT_EQ(sequenceOf(result, "TrackingStatus"),
			(StatusSequence{
				{red, ""},
				{red, "No LiveLink Source: Add a Quarn source in the LiveLink window"},
				{red, "No LiveLink Subject: To add a Quarn subject select the Quarn source in the LiveLink window, add a subject name and select Add New Subject"},
				{yellow, "LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's LiveLink component select the appropriate LiveLink subject."},
				{green, ""},
			}));
		EXPECT_EQ(sequenceOf(result, "LensStatus"),
			(StatusSequence{
				{red, ""},
				{red, "Tracking data is Red: Tracking data is required for lens distortion"},
				{yellow, "LiveLink subject StageCam has lens data, but nothing in the scene is receiving"},
				{yellow, "Tracking frame has lens data but not distorting for subject StageCam on camera QuarnCamera. Make sure the Post-Process material is enabled on the Camera Component, and 'Apply Distortion' is checked on the Lens Distortion Component"},
				{green, ""},
			}));
	}

	TEST_F(TrackingAndLensScenario, SubjectFramesAndTextsReachTheVerdicts)
	{
		const nlohmann::json scenario = nlohmann::json::parse(R"({
			"frameRate": 1,
			"duration": 12,
			"state": {
				"zentrels": { "count": 1 },
				"liveLink": { "sources": {
					"Other": { "settings": "other", "subjects": { "Ignored": { "frame": { "frameStatus": 7 } } } },
					"Studio": { "subjects": {
						"Cam": { "trackingStatusText": "no data", "frame": { "frameStatus": "Optical Fair", "lensDataLevel": 0.5 } },
						"Spare": { "enabled": false }
					} }
				} },
				"cameras": { "actors": { "Crane": { "controller": { "controlledSubject": "CAM" } } } }
			},
			"timeline": [
				{ "at": 3, "set": { "liveLink": { "sources": { "Studio": { "subjects": { "Cam": { "trackingStatusText": null } } } } } } },
				{ "at": 6, "set": { "liveLink": { "sources": { "Studio": { "subjects": { "Cam": { "frame": "foreign" } } } } } } },
				{ "at": 9, "set": { "liveLink": { "sources": { "Studio": { "pendingKill": true } } } } }
			]
		})");
		const RunResult result = runJson(writeScenario("Subjects.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;

		EXPECT_EQ(sequenceOf(result, "TrackingStatus"),
			(StatusSequence{
				{red, ""},
				{red, "No tracking data: Use the Zentrels panel to Auto-Configure the Zentrel for subject Cam"},
				{yellow, "At least one tracked actor has < Optical Good: Crane has status Optical Fair"},
				{yellow, "LiveLink has data, but nothing in scene receiving: Add a QuarnStage to your scene and in the QuarnCamera's LiveLink component select the appropriate LiveLink subject."},
				{red, "No LiveLink Source: Add a Quarn source in the LiveLink window"},
			}));
		EXPECT_EQ(sequenceOf(result, "LensStatus")[2], (std::pair<std::string, std::string>{yellow, "No lens data (this may not be a fault) in the tracking frame: Crane is not receiving lens data. If you have a lens file, ensure it is selected in the Zentrels panel"}));

		int frameErrors = 0;
		for (const nlohmann::json& line : result.jsonLines())
		{
			frameErrors += line.value("type", "") == "log" && line.value("message", "") == "FrameData was nullptr for Subject Cam" ? 1 : 0;
		}
		EXPECT_EQ(frameErrors, 1) << "one evaluation between 6 s and 9 s sees the foreign frame";
	}

	TEST_F(TrackingAndLensScenario, RefusesUnknownFrameStatesWithTheirPlace)
	{
		const nlohmann::json scenario = nlohmann::json::parse(R"({
			"state": { "liveLink": { "sources": { "Studio": { "subjects": { "Cam": { "frame": { "frameStatus": "Wobbly" } } } } } } }
		})");
		const RunResult result = runJson(writeScenario("Bad.json", scenario));
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("$.state.liveLink.sources.Studio.subjects.Cam.frame.frameStatus: expected a tracking state"), std::string::npos)
			<< result.err;
	}
} // namespace quarnlive::test

namespace quarnlive::test
{
	TEST_F(TrackingAndLensScenario, ABlendableWeightDraggedInPlaceTurnsTheDistortionOffAndOn)
	{
		const nlohmann::json scenario = nlohmann::json::parse(R"({
			"base": "healthyStudio",
			"frameRate": 1,
			"duration": 9,
			"timeline": [
				{ "at": 3, "action": "blendableWeight", "camera": "QuarnCamera", "index": 0, "weight": 0.5 },
				{ "at": 6, "action": "blendableWeight", "camera": "QuarnCamera", "index": 0, "weight": 1 }
			]
		})");
		const RunResult result = runJson(writeScenario("Weight.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		std::vector<std::string> lens;
		for (const nlohmann::json& line : statusLines(result.jsonLines(), "LensStatus"))
		{
			lens.push_back(line["color"].get<std::string>());
		}
		EXPECT_EQ(lens, (std::vector<std::string>{"Red", "Green", "Yellow", "Green"}));

		const nlohmann::json outOfRange = nlohmann::json::parse(R"({
			"base": "healthyStudio",
			"timeline": [ { "at": 1, "action": "blendableWeight", "camera": "QuarnCamera", "index": 1, "weight": 0.5 } ]
		})");
		const RunResult refused = runJson(writeScenario("Index.json", outOfRange));
		EXPECT_NE(refused.exitCode, 0);
		EXPECT_NE(refused.err.find("the camera \"QuarnCamera\" has 1 blendable(s), no index 1"), std::string::npos) << refused.err;
	}
} // namespace quarnlive::test
