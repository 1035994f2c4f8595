#pragma once

#include "CoreMinimal.h"

/** The application that owns Slate's windows and renderer; widgets can be built and drawn only while it exists. */
class SLATE_API FSlateApplication
{
public:
	/** Whether the application exists (an editor or game with a user interface is running). */
	static bool IsInitialized();
	static FSlateApplication& Get();

	/** Starts the application; the host does this at boot. */
	static void Create();
	/** Stops it; IsInitialized() answers false afterwards. */
	static void Shutdown();
};
