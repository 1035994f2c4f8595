#pragma once

#include "Async/TaskGraphInterfaces.h"
#include "Templates/Function.h"

/**
 * Queues Function for the game thread; it runs at the start of a later engine frame.
 * Only the game thread is a named thread in the headless engine.
 */
CORE_API void AsyncTask(ENamedThreads::Type Thread, TUniqueFunction<void()> Function);

/** The game thread's task queue; the engine loop drains it once per frame. */
struct CORE_API FGameThreadTasks
{
	/** Runs the tasks queued before this call, in order; returns how many ran. */
	static int32 ProcessQueued();
	/** Drops every queued task without running it (engine shut-down, tests). */
	static void DiscardAll();
};

/** True on the thread that booted the engine. */
CORE_API bool IsInGameThread();
/** Makes the calling thread the game thread. */
CORE_API void SetGameThreadToCurrent();
