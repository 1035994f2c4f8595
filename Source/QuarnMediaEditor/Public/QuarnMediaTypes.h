#pragma once

#include "CoreMinimal.h"
#include "QuarnMediaTypes.generated.h"

/** One of the four video signals of a media bundle. */
UENUM()
enum class EQuarnMediaIOSignal : uint8
{
	Output,
	KeyOutput,
	Input,
	KeyInput,
};

/** Whether the engine's frames are locked to the video input's time step. */
UENUM()
enum class EQuarnMediaTimeStepSynchronizationState : uint8
{
	Closed,
	Error,
	Synchronized,
	Synchronizing,
};

/** Whether the timecode provider follows the video input's timecode. */
UENUM()
enum class EQuarnMediaProviderSynchronizationState : uint8
{
	Closed,
	Error,
	Synchronized,
	Synchronizing,
};
