#include "CineCameraComponent.h"
