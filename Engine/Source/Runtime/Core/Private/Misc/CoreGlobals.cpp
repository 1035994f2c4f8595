#include "CoreGlobals.h"
#include "Misc/App.h"

#include <cstdio>
#include <cstdlib>

bool GIsEditor = true;
bool GIsRunning = false;

bool IsRunningGame() { return !GIsEditor; }
int32 StaticGameCheck() { return IsRunningGame() ? 1 : 0; }

double FApp::CurrentTime = 0.0;
double FApp::DeltaTime = 1.0 / 30.0;
FTimecode FApp::Timecode;
FFrameRate FApp::TimecodeFrameRate(30, 1);
FString FApp::ProjectName(TEXT("QuarnProject"));

void UE::Assert::Fail(const char* Expression, const char* File, int Line)
{
	std::fprintf(stderr, "Assertion failed: %s [%s:%d]\n", Expression, File, Line);
	std::abort();
}
