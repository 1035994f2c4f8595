// The offset arithmetic behind the board's timecode alarm.

#include "Board/TimecodeAgreement.h"

#include <gtest/gtest.h>

namespace quarnlive::board
{
	namespace
	{
		constexpr double frame = 1.0 / 60.0;
	}

	TEST(TimecodeOffset, ATimecodeStandsForTheMiddleOfItsFrame)
	{
		EXPECT_DOUBLE_EQ(secondsOfTimecode(1, 2, 3, 0, 60.0), 3723.0 + 0.5 * frame);
		EXPECT_DOUBLE_EQ(secondsOfTimecode(0, 0, 0, 29, 30.0), 29.5 / 30.0);
	}

	TEST(TimecodeOffset, IsTheFollowerTimeMinusTheMidpointOfTheRoundTrip)
	{
		// Sent at 100 s, answered at 100.010 s: the follower said 100.020 s at about 100.005 s.
		EXPECT_NEAR(offsetSeconds(100.020, 100.0, 100.010), 0.015, 1e-9);
		// A slow way back does not count as an offset: only the midpoint matters.
		EXPECT_NEAR(offsetSeconds(100.005, 100.0, 100.010), 0.0, 1e-9);
		EXPECT_NEAR(offsetSeconds(99.990, 100.0, 100.010), -0.015, 1e-9);
	}

	TEST(TimecodeOffset, MidnightBetweenRequestAndAnswerIsNoOffset)
	{
		// The master asked at 23:59:59.990 and heard back at 00:00:00.010; the follower said 00:00:00.000.
		EXPECT_NEAR(offsetSeconds(0.0, 86399.990, 86400.010), 0.0, 1e-6);
		// The follower already past midnight, the master not yet.
		EXPECT_NEAR(offsetSeconds(0.002, 86399.998, 86399.998), 0.004, 1e-6);
		EXPECT_NEAR(offsetSeconds(86399.998, 0.002, 0.002), -0.004, 1e-6);
	}

	TEST(TimecodeOffset, AlarmsOnlyBeyondHalfAFrameOfTheSessionRate)
	{
		EXPECT_FALSE(beyondHalfFrame(0.49 * frame, 60.0));
		EXPECT_FALSE(beyondHalfFrame(-0.49 * frame, 60.0));
		EXPECT_TRUE(beyondHalfFrame(0.51 * frame, 60.0));
		EXPECT_TRUE(beyondHalfFrame(-0.51 * frame, 60.0));
		// Half a frame at 24 fps is more than at 60.
		EXPECT_FALSE(beyondHalfFrame(0.015, 24.0));
		EXPECT_TRUE(beyondHalfFrame(0.015, 60.0));
	}

	TEST(OffsetWindow, AveragesOnlyTheLastOffsetsAndKeepsTheirSpread)
	{
		OffsetWindow window(4);
		EXPECT_EQ(window.mean(), 0.0);
		EXPECT_EQ(window.spread(), 0.0);
		for (const double offset : {1.0, 0.0, 0.0, 0.0, 0.0})
		{
			window.add(offset);
		}
		EXPECT_EQ(window.size(), 4u);
		EXPECT_DOUBLE_EQ(window.mean(), 0.0);
		window.add(0.4);
		EXPECT_DOUBLE_EQ(window.mean(), 0.1);
		EXPECT_DOUBLE_EQ(window.spread(), 0.4);
		window.clear();
		EXPECT_EQ(window.size(), 0u);
	}

	TEST(OffsetWindow, WholeFrameRoundingAveragesOutButAShiftDoesNot)
	{
		// Answers a quarter frame apart within the frame, as a jittered probe gets them.
		OffsetWindow agreed(8);
		OffsetWindow shifted(8);
		for (int i = 0; i < 8; ++i)
		{
			const double phase = (i % 4) * 0.25 * frame;
			const double master = 1000.0 + i * 0.25 + phase;
			const int followerFrame = static_cast<int>(master / frame + 1e-9);
			agreed.add(offsetSeconds((followerFrame + 0.5) * frame, master, master));
			shifted.add(offsetSeconds((followerFrame + 2 + 0.5) * frame, master, master));
		}
		EXPECT_FALSE(beyondHalfFrame(agreed.mean(), 60.0)) << agreed.mean() / frame;
		EXPECT_TRUE(beyondHalfFrame(shifted.mean(), 60.0)) << shifted.mean() / frame;
		EXPECT_NEAR(shifted.mean() / frame, 2.0, 0.5);
	}
} // namespace quarnlive::board
