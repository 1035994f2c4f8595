#include "HeadlessEngineLoop.h"

#include "Async/Async.h"
#include "Engine/Engine.h"
#include "Misc/App.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/CoreMisc.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "Tickable.h"
#include "UObject/UObjectGlobals.h"

#include <chrono>
#include <thread>

DEFINE_LOG_CATEGORY_STATIC(LogEngineLoop, Log, All)

namespace
{
	struct FLoopState
	{
		bool bBooted = false;
		uint64 FrameNumber = 0;
		bool bTasksHeld = false;
		bool bTimecodeHeld = false;
		bool bEngineHiddenFromTicks = false;
	};

	FLoopState& State()
	{
		static FLoopState LoopState;
		return LoopState;
	}

	double WallSeconds()
	{
		return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
	}
} // namespace

TMulticastDelegate<void()>& FHeadlessEngineLoop::OnPreSubsystems()
{
	static TMulticastDelegate<void()> Delegate;
	return Delegate;
}


void FHeadlessEngineLoop::Boot(const FHeadlessEngineOptions& Options)
{
	check(!State().bBooted);
	GIsEditor = Options.bEditor;
	SetGameThreadToCurrent();
	FPaths::SetProjectDir(Options.ProjectDir.IsEmpty() ? FString(TEXT("./")) : Options.ProjectDir);
	FPaths::SetPluginDir(Options.PluginDir.IsEmpty() ? FString(TEXT("./")) : Options.PluginDir);
	FApp::SetCurrentTime(0.0);
	FApp::SetTimecodeFrameRate(Options.TimecodeRate);
	FApp::SetTimecode(FTimecode::FromSeconds(0.0, Options.TimecodeRate, false));
	State().FrameNumber = 0;

	InitUObject();
	FConfigCacheIni::InitializeConfigSystem();
	for (const FString& ModuleName : Options.Modules)
	{
		if (!FModuleManager::Get().LoadModule(FName(ModuleName)))
		{
			UE_LOG(LogEngineLoop, Error, TEXT("Module '%s' could not be loaded"), *ModuleName);
		}
	}
	OnPreSubsystems().Broadcast();
	GEngine = NewObject<UEngine>(nullptr, nullptr, FName(TEXT("Engine")));
	GEngine->InitializeSubsystems();
	GIsRunning = true;
	State().bBooted = true;
}

void FHeadlessEngineLoop::Tick(double DeltaSeconds)
{
	if (!State().bTasksHeld)
	{
		FGameThreadTasks::ProcessQueued();
	}
	UEngine* const Engine = GEngine;
	if (State().bEngineHiddenFromTicks)
	{
		GEngine = nullptr;
	}
	FTickableGameObject::TickObjects(static_cast<float>(DeltaSeconds), GIsEditor, false);
	GEngine = Engine;
	FApp::SetDeltaTime(DeltaSeconds);
	FApp::SetCurrentTime(FApp::GetCurrentTime() + DeltaSeconds);
	if (!State().bTimecodeHeld)
	{
		FApp::SetTimecode(FTimecode::FromSeconds(FApp::GetCurrentTime(), FApp::GetTimecodeFrameRate(), false));
	}
	++State().FrameNumber;
}

void FHeadlessEngineLoop::Shutdown()
{
	if (!State().bBooted)
	{
		return;
	}
	GIsRunning = false;
	if (GEngine)
	{
		GEngine->DeinitializeSubsystems();
	}
	FModuleManager::Get().UnloadModulesAtShutdown();
	ShutdownUObject();
	GEngine = nullptr;
	FGameThreadTasks::DiscardAll();
	FConfigCacheIni::TearDownConfigSystem();
	GIsSavingPackage = false;
	GIsGarbageCollecting = false;
	GIsEditor = true;
	GStaticGameCheckOverride = TOptional<int32>();
	State().bTasksHeld = false;
	State().bTimecodeHeld = false;
	State().bEngineHiddenFromTicks = false;
	State().bBooted = false;
}

bool FHeadlessEngineLoop::IsBooted() { return State().bBooted; }
uint64 FHeadlessEngineLoop::GetFrameNumber() { return State().FrameNumber; }
void FHeadlessEngineLoop::SetGameThreadTasksHeld(bool bHeld) { State().bTasksHeld = bHeld; }
void FHeadlessEngineLoop::SetTimecodeHeld(bool bHeld) { State().bTimecodeHeld = bHeld; }
void FHeadlessEngineLoop::SetEngineHiddenFromTicks(bool bHidden) { State().bEngineHiddenFromTicks = bHidden; }

FRealTimeClock::FRealTimeClock(double InFramesPerSecond)
	: Interval(InFramesPerSecond > 0.0 ? 1.0 / InFramesPerSecond : 0.0)
	, LastFrameTime(WallSeconds())
	, NextFrameTime(LastFrameTime + Interval)
{
}

double FRealTimeClock::WaitForNextFrame()
{
	const double Now = WallSeconds();
	if (Interval > 0.0 && Now < NextFrameTime)
	{
		std::this_thread::sleep_for(std::chrono::duration<double>(NextFrameTime - Now));
	}
	const double FrameTime = WallSeconds();
	const double Delta = FrameTime - LastFrameTime;
	LastFrameTime = FrameTime;
	// A late frame does not make the following ones hurry.
	NextFrameTime = std::max(NextFrameTime + Interval, FrameTime);
	return Delta;
}
