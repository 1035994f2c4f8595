#pragma once

#include "CoreMinimal.h"

// The video cards' numbers for the kinds of format the module tells apart, as the VP settings'
// MediaFormatKind and the media module's format kinds carry them. An interlaced format counts
// fields, twice its frames.
namespace QuarnMediaFormatKind
{
	constexpr int32 Progressive = 0;
	constexpr int32 Interlaced = 1;
} // namespace QuarnMediaFormatKind
