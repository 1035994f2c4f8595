#include "CoreMinimal.h"

#include <gtest/gtest.h>

TEST(EulerConventions, EulerIsRollPitchYawInDegrees)
{
	const FQuat Yaw90 = FRotator(0.0, 90.0, 0.0).Quaternion();
	const FVector Euler = Yaw90.Euler();
	EXPECT_NEAR(Euler.X, 0.0, 1e-9);
	EXPECT_NEAR(Euler.Y, 0.0, 1e-9);
	EXPECT_NEAR(Euler.Z, 90.0, 1e-9);
}

TEST(EulerConventions, MakeFromEulerRoundTripsEveryAxis)
{
	const FVector Angles(10.0, -20.0, 135.0);
	const FQuat Rotation = FQuat::MakeFromEuler(Angles);
	EXPECT_TRUE(Rotation.Euler().Equals(Angles, 1e-6));
	const FRotator Rotator = Rotation.Rotator();
	EXPECT_NEAR(Rotator.Roll, 10.0, 1e-6);
	EXPECT_NEAR(Rotator.Pitch, -20.0, 1e-6);
	EXPECT_NEAR(Rotator.Yaw, 135.0, 1e-6);
}

TEST(EulerConventions, PitchStaysWithinPlusMinusNinety)
{
	const FVector Euler = FRotator(120.0, 0.0, 0.0).Quaternion().Euler();
	EXPECT_LE(FMath::Abs(Euler.Y), 90.0 + 1e-9);
	// Same orientation, another but equivalent set of angles.
	EXPECT_TRUE(FQuat::MakeFromEuler(Euler).Equals(FRotator(120.0, 0.0, 0.0).Quaternion(), 1e-9));
}

TEST(TimecodeFromTime, NonDropCountsWholeFrames)
{
	const FTimecode Timecode = FTimecode::FromSeconds(3600.0 + 62.5, FFrameRate(50, 1), false);
	EXPECT_EQ(Timecode, FTimecode(1, 1, 2, 25, false));
	EXPECT_TRUE(Timecode.ToString().Equals(TEXT("01:01:02:25"), ESearchCase::CaseSensitive));
}

TEST(TimecodeFromTime, DropFrameSkipsTwoFrameNumbersEachMinuteButTheTenth)
{
	const FFrameRate NTSC(30000, 1001);
	// Frame 1800 is the first of minute one: numbers 00 and 01 are skipped.
	const FTimecode MinuteOne = FTimecode::FromSeconds(1800.0 / NTSC.AsDecimal(), NTSC, true);
	EXPECT_EQ(MinuteOne, FTimecode(0, 1, 0, 2, true));
	EXPECT_TRUE(MinuteOne.ToString().Equals(TEXT("00:01:00;02"), ESearchCase::CaseSensitive));
	// Frame 17982 starts minute ten, which keeps its 00.
	EXPECT_EQ(FTimecode::FromSeconds(17982.0 / NTSC.AsDecimal(), NTSC, true), FTimecode(0, 10, 0, 0, true));
}

TEST(TimecodeFromTime, DropFrameIsIgnoredForWholeRates)
{
	EXPECT_FALSE(FTimecode::FromSeconds(1.0, FFrameRate(25, 1), true).bDropFrameFormat);
	EXPECT_EQ(FTimecode::FromSeconds(2.0, FFrameRate(1, 2), false).Frames, 0) << "slow rates must not divide by zero";
}

TEST(FrameRateText, PrettyTextShowsTwoDecimalsOnlyWhenNeeded)
{
	EXPECT_TRUE(FFrameRate(25, 1).ToPrettyText().ToString().Equals(TEXT("25 fps"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FFrameRate(30000, 1001).ToPrettyText().ToString().Equals(TEXT("29.97 fps"), ESearchCase::CaseSensitive));
}
