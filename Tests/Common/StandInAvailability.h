#pragma once

// The stand-ins' availability switches are process-wide: every fixture that boots them puts
// them all back here, so no test inherits a subsystem another took away.

#include "QuarnMediaEditorSubsystem.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnViewportEditorSubsystem.h"
#include "QuarnZentrelSubsystem.h"

inline void MakeEveryStandInAvailable()
{
	UQuarnVPEditorSubsystem::SetAvailable(true);
	UQuarnVPEngineSubsystem::SetAvailable(true);
	UQuarnMediaEditorSubsystem::SetAvailable(true);
	UQuarnViewportEditorSubsystem::SetAvailable(true);
	UQuarnZentrelSubsystem::SetAvailable(true);
}
