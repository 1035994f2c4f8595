#pragma once
#include "SampleThing.generated.h"
