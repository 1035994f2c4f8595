#pragma once

#include "HAL/Platform.h"

enum EObjectFlags : uint32
{
	RF_NoFlags = 0,
	RF_Public = 1u << 0,
	RF_Standalone = 1u << 1,
	RF_Transactional = 1u << 3,
	RF_ClassDefaultObject = 1u << 4,
	RF_ArchetypeObject = 1u << 5,
	RF_Transient = 1u << 6,
	RF_BeginDestroyed = 1u << 15,
	RF_FinishDestroyed = 1u << 16,
};

inline EObjectFlags operator|(EObjectFlags A, EObjectFlags B) { return static_cast<EObjectFlags>(static_cast<uint32>(A) | static_cast<uint32>(B)); }
