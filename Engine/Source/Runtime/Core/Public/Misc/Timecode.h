#pragma once

#include "Misc/FrameRate.h"

/** Hours, minutes, seconds and frames. */
struct CORE_API FTimecode
{
	int32 Hours = 0;
	int32 Minutes = 0;
	int32 Seconds = 0;
	int32 Frames = 0;
	bool bDropFrameFormat = false;

	constexpr FTimecode() = default;
	constexpr FTimecode(int32 InHours, int32 InMinutes, int32 InSeconds, int32 InFrames, bool bInDropFrame)
		: Hours(InHours)
		, Minutes(InMinutes)
		, Seconds(InSeconds)
		, Frames(InFrames)
		, bDropFrameFormat(bInDropFrame)
	{
	}

	/** The timecode of a point in time, counting drop frames where the rate asks for them. */
	static FTimecode FromSeconds(double Seconds, const FFrameRate& Rate, bool bDropFrame);
	/** "HH:MM:SS:FF", or "HH:MM:SS;FF" for drop-frame. */
	FString ToString(bool bForceSignDisplay = false) const;
	bool operator==(const FTimecode& Other) const
	{
		return Hours == Other.Hours && Minutes == Other.Minutes && Seconds == Other.Seconds && Frames == Other.Frames && bDropFrameFormat == Other.bDropFrameFormat;
	}
};
