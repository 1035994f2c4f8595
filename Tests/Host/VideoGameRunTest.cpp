// A game run shows the video input and output as the media module describes them.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		using VideoGameRun = HostTest;

		nlohmann::json gameScenario()
		{
			return {{"run", "game"}, {"frameRate", 10}, {"duration", 7},
				{"state",
					{{"vpSettings", {{"mediaFormat", "1080p25"}, {"mediaFrameRate", "25"}}},
						{"cameras", {{"actors", {{"StudioCamera", nlohmann::json::object()}}}}},
						{"media",
							{{"videoCards", true}, {"inputFormat", "1080p25"}, {"outputFormat", "1080p25"}, {"layoutInputs", 1},
								{"layoutOutputs", 1}, {"inputAssets", 1}, {"outputAssets", 1}, {"inputPlaying", true},
								{"inputDescription", "Card 1: 1080p25"}, {"outputDescription", "Card 2: 1080p25"}}}}},
				{"timeline",
					{{{"at", 3}, {"set", {{"media", {{"outputDescription", "No valid output(s)"}}}}}},
						{{"at", 5}, {"set", {{"media", {{"videoCards", false}, {"inputDescription", "Invalid"}}}}}}}}};
		}

		nlohmann::json colorAndMessage(const nlohmann::json& line)
		{
			return {line.at("color"), line.at("message")};
		}
	} // namespace

	TEST_F(VideoGameRun, InputAndOutputFollowTheCardDescriptionsUntilAnEarlierCheckFails)
	{
		const RunResult result = runJson(writeScenario("GameVideo.json", gameScenario()));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const std::vector<nlohmann::json> lines = result.jsonLines();

		const std::vector<nlohmann::json> input = statusLines(lines, "VideoInput");
		ASSERT_EQ(input.size(), 2u) << result.out;
		EXPECT_EQ(colorAndMessage(input[0]), nlohmann::json({"Red", ""}));
		EXPECT_EQ(input[0]["frame"], 0);
		EXPECT_EQ(colorAndMessage(input[1]), nlohmann::json({"Green", "Card 1: 1080p25"}));

		const std::vector<nlohmann::json> output = statusLines(lines, "VideoOutput");
		ASSERT_EQ(output.size(), 3u) << result.out;
		EXPECT_EQ(colorAndMessage(output[1]), nlohmann::json({"Green", "Card 2: 1080p25"}));
		EXPECT_EQ(colorAndMessage(output[2]), nlohmann::json({"Red", "No valid output(s)"}));

		// Without cards the evaluation stops first: the details keep their last values and only
		// the video status says why.
		const std::vector<nlohmann::json> video = statusLines(lines, "VideoStatus");
		ASSERT_FALSE(video.empty());
		EXPECT_EQ(video.back()["color"], "Red");
		EXPECT_EQ(video.back()["message"], "No video cards detected: Use the Blackmagic Desktop Video Setup, AJA Control Panel or Bluefish444 Toolbox to confirm your cards are installed");
		const nlohmann::json& final = lines.back();
		ASSERT_EQ(final["type"], "final");
		EXPECT_EQ(final["statuses"]["VideoInput"], nlohmann::json({{"color", "Green"}, {"message", "Card 1: 1080p25"}}));
		EXPECT_EQ(final["statuses"]["VideoOutput"], nlohmann::json({{"color", "Red"}, {"message", "No valid output(s)"}}));
	}
} // namespace quarnlive::test
