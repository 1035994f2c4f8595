#pragma once

#include "State/Section.h"

// "engine.timecode" and "engine.timecodeRate": the engine's timecode pinned to a value, and the
// rate it counts in, as the engine's timecode provider would hand them out.
namespace quarnlive::state
{
	Field timecodeField();
	Field timecodeRateField();
} // namespace quarnlive::state
