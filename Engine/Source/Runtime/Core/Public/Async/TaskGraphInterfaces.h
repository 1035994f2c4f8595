#pragma once

#include "HAL/Platform.h"

namespace ENamedThreads
{
	enum Type
	{
		AnyThread,
		GameThread,
		ActualRenderingThread,
		AnyBackgroundThreadNormalTask,
	};
}
