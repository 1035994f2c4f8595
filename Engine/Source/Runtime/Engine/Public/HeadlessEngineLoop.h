#pragma once

#include "CoreMinimal.h"

/** How the headless engine boots. */
struct FHeadlessEngineOptions
{
	/** Editor run (true) or game run (false). */
	bool bEditor = true;
	/** The project folder: its Config/ holds the ini files, its Content/ the /Game/ assets. */
	FString ProjectDir;
	/** The plug-in folder: its Content/ is mounted at the plug-in's content root. */
	FString PluginDir;
	/** Modules to load through the module manager, in order, before the engine subsystems are made. */
	TArray<FString> Modules;
	/** The timecode's frame rate. */
	FFrameRate TimecodeRate = FFrameRate(30, 1);
};

/**
 * Boots, drives and shuts down the headless engine. A frame runs the queued game-thread
 * tasks, ticks every tickable object with the frame's delta time, then advances the
 * application time and timecode.
 */
class ENGINE_API FHeadlessEngineLoop
{
public:
	/** Brings the object system, configuration, modules and engine subsystems up. */
	static void Boot(const FHeadlessEngineOptions& Options);
	/** Runs one frame of DeltaSeconds. */
	static void Tick(double DeltaSeconds);
	/** Tears everything down again; the process may boot another engine afterwards. */
	static void Shutdown();
	static bool IsBooted();
	static uint64 GetFrameNumber();
	/**
	 * While held, frames leave the queued game-thread tasks queued (FGameThreadTasks::ProcessQueued
	 * still runs them on request): a test bench arranges the order of callbacks and tasks with it.
	 * Shut-down releases the hold.
	 */
	static void SetGameThreadTasksHeld(bool bHeld);
	/**
	 * While held, frames leave FApp's timecode as it was last set instead of deriving it from the
	 * application time: a test bench pins the timecode with it. Shut-down releases the hold.
	 */
	static void SetTimecodeHeld(bool bHeld);
	/**
	 * While hidden, GEngine reads null during the ticks of the tickable objects (the engine's
	 * subsystems among them) and is back before the frame ends: a test bench runs code that
	 * guards against a missing engine object with it. Shut-down shows it again.
	 */
	static void SetEngineHiddenFromTicks(bool bHidden);
	/** Called after modules load and before the engine subsystems are made (engine pieces register here). */
	static TMulticastDelegate<void()>& OnPreSubsystems();
};

/** Where frame times come from. */
class ENGINE_API IEngineClock
{
public:
	virtual ~IEngineClock() = default;
	/** Returns the next frame's delta time in seconds, waiting for it if the clock is real. */
	virtual double WaitForNextFrame() = 0;
};

/** Fixed steps of 1/FramesPerSecond seconds, without waiting: tests and scenarios. */
class ENGINE_API FFixedStepClock final : public IEngineClock
{
public:
	explicit FFixedStepClock(double InFramesPerSecond)
		: Step(1.0 / InFramesPerSecond)
	{
	}
	double WaitForNextFrame() override { return Step; }

private:
	double Step;
};

/** Wall-clock frames paced at FramesPerSecond (0: as fast as possible). */
class ENGINE_API FRealTimeClock final : public IEngineClock
{
public:
	explicit FRealTimeClock(double InFramesPerSecond);
	double WaitForNextFrame() override;

private:
	double Interval;
	double LastFrameTime;
	double NextFrameTime;
};
