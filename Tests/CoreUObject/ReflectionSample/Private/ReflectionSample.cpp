#include "ReflectionSample.h"
