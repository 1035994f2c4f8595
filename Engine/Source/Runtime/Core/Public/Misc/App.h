#pragma once

#include "Containers/UnrealString.h"
#include "Misc/FrameRate.h"
#include "Misc/Timecode.h"

/** Application-wide time; the engine loop advances the clock once per frame. */
class CORE_API FApp
{
public:
	static double GetCurrentTime() { return CurrentTime; }
	static void SetCurrentTime(double Seconds) { CurrentTime = Seconds; }
	static void SetDeltaTime(double Seconds) { DeltaTime = Seconds; }

	/** The timecode of the current frame, from the engine's timecode provider; any thread may ask. */
	static FTimecode GetTimecode();
	static void SetTimecode(const FTimecode& InTimecode);
	static FFrameRate GetTimecodeFrameRate();
	static void SetTimecodeFrameRate(const FFrameRate& Rate);

private:
	static double CurrentTime;
	static double DeltaTime;
	static FTimecode Timecode;
	static FFrameRate TimecodeFrameRate;
};
