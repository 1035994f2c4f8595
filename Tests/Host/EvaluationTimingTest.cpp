// End to end: when the status subsystem evaluates, seen through --json. An override during a
// one-frame play session turns the tracking status Green; the next evaluation resets it to
// Red, and the frame of that Red line says in which frame's tick the evaluation ran.

#include "HostRun.h"

namespace quarnlive::test
{
	namespace
	{
		/** beginPlay, override tracking Green, endPlay: all before the tick of the frame at `at`. */
		nlohmann::json greenPulse(double at)
		{
			return nlohmann::json::array({
				{{"at", at}, {"action", "beginPlay"}},
				{{"at", at}, {"action", "overrideStatus"}, {"status", "tracking"}, {"color", "Green"}},
				{{"at", at}, {"action", "endPlay"}},
			});
		}

		nlohmann::json scenarioWith(double frameRate, double duration, const std::vector<nlohmann::json>& pieces)
		{
			nlohmann::json timeline = nlohmann::json::array();
			for (const nlohmann::json& piece : pieces)
			{
				if (piece.is_array())
				{
					timeline.insert(timeline.end(), piece.begin(), piece.end());
				}
				else
				{
					timeline.push_back(piece);
				}
			}
			return {{"frameRate", frameRate}, {"duration", duration}, {"timeline", timeline}};
		}

		/** Frames of the tracking status changes after the initial line, with their colours. */
		std::vector<std::pair<int, std::string>> trackingChanges(const RunResult& result)
		{
			std::vector<std::pair<int, std::string>> changes;
			const std::vector<nlohmann::json> lines = statusLines(result.jsonLines(), "TrackingStatus");
			for (std::size_t index = 1; index < lines.size(); ++index)
			{
				changes.emplace_back(lines[index]["frame"].get<int>(), lines[index]["color"].get<std::string>());
			}
			return changes;
		}

		using Changes = std::vector<std::pair<int, std::string>>;
	} // namespace

	class EvaluationTiming : public HostTest
	{
	};

	TEST_F(EvaluationTiming, FirstEvaluationRunsInTheThirdOneSecondFrame)
	{
		// 1 s, 2 s of tick time are not yet more than the 2 s interval; 3 s is.
		const RunResult result = runJson(writeScenario("OneSecond.json", scenarioWith(1, 6, {greenPulse(0)})));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(trackingChanges(result), (Changes{{0, "Green"}, {2, "Red"}}));
	}

	TEST_F(EvaluationTiming, EachTenSecondFrameEvaluatesInThatFrame)
	{
		const RunResult result = runJson(writeScenario("TenSeconds.json", scenarioWith(0.1, 30, {greenPulse(0), greenPulse(10)})));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(trackingChanges(result), (Changes{{0, "Green"}, {0, "Red"}, {1, "Green"}, {1, "Red"}}));
	}

	TEST_F(EvaluationTiming, TimeBeyondTheIntervalIsNotCarriedOver)
	{
		// 2 s frames: 4 s of tick time evaluate once and start again from nothing, so only
		// every second frame evaluates.
		const RunResult result = runJson(writeScenario("TwoSeconds.json",
			scenarioWith(0.5, 10, {greenPulse(0), greenPulse(2), greenPulse(4), greenPulse(6), greenPulse(8)})));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(trackingChanges(result), (Changes{{0, "Green"}, {1, "Red"}, {2, "Green"}, {3, "Red"}, {4, "Green"}}));
	}

	TEST_F(EvaluationTiming, NothingIsEvaluatedDuringPlayAndTickTimePauses)
	{
		// One second is counted before play; play lasts four frames; two more seconds after it
		// make more than the interval.
		const nlohmann::json scenario = scenarioWith(1, 10,
			{
				{{"at", 1}, {"action", "beginPlay"}},
				{{"at", 1}, {"action", "overrideStatus"}, {"status", "tracking"}, {"color", "Green"}},
				{{"at", 5}, {"action", "endPlay"}},
			});
		const RunResult result = runJson(writeScenario("Play.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_EQ(trackingChanges(result), (Changes{{1, "Green"}, {6, "Red"}}));
	}

	TEST_F(EvaluationTiming, OverridesOutsidePlayChangeNothing)
	{
		const nlohmann::json scenario = scenarioWith(1, 4, {{{"at", 1}, {"action", "overrideStatus"}, {"status", "tracking"}, {"color", "Green"}}});
		const RunResult result = runJson(writeScenario("NoPlay.json", scenario));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		// Evaluations may still change the message; the override never shows.
		for (const auto& [frame, color] : trackingChanges(result))
		{
			EXPECT_NE(color, "Green") << "frame " << frame;
		}
	}
} // namespace quarnlive::test
