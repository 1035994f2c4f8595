#include "CoreGlobals.h"
#include "Misc/App.h"
#include "Misc/CoreMisc.h"

#include <cstdio>
#include <mutex>
#include <cstdlib>

bool GIsEditor = true;
bool GIsRunning = false;

TOptional<int32> GStaticGameCheckOverride;

// 1 when the process runs as a game, 0 in the editor; IsRunningGame() is its only public face.
CORE_API int32 StaticGameCheck();
int32 StaticGameCheck() { return GStaticGameCheckOverride ? GStaticGameCheckOverride.GetValue() : (GIsEditor ? 0 : 1); }

double FApp::CurrentTime = 0.0;
double FApp::DeltaTime = 1.0 / 30.0;
FTimecode FApp::Timecode;
FFrameRate FApp::TimecodeFrameRate(30, 1);

namespace
{
	// The game thread writes the timecode each frame; network callbacks read it.
	std::mutex& TimecodeLock()
	{
		static std::mutex Lock;
		return Lock;
	}
} // namespace

FTimecode FApp::GetTimecode()
{
	std::lock_guard<std::mutex> Guard(TimecodeLock());
	return Timecode;
}

void FApp::SetTimecode(const FTimecode& InTimecode)
{
	std::lock_guard<std::mutex> Guard(TimecodeLock());
	Timecode = InTimecode;
}

FFrameRate FApp::GetTimecodeFrameRate()
{
	std::lock_guard<std::mutex> Guard(TimecodeLock());
	return TimecodeFrameRate;
}

void FApp::SetTimecodeFrameRate(const FFrameRate& Rate)
{
	std::lock_guard<std::mutex> Guard(TimecodeLock());
	TimecodeFrameRate = Rate;
}

void UE::Assert::Fail(const char* Expression, const char* File, int Line)
{
	std::fprintf(stderr, "Assertion failed: %s [%s:%d]\n", Expression, File, Line);
	std::abort();
}
