#pragma once

// The sync leg's checks, in the order they apply: genlock and timecode provider first, then
// the engine's Timed Data Monitor. Each takes the answers of the queries it judges.

#include "Status/QuarnStatusFinding.h"
#include "TimedDataMonitorSubsystem.h"

namespace QuarnSyncRules
{
	/** Genlock through a custom time step must be switched on in the VP settings. */
	QUARNLIVE_API FQuarnStatusFinding GenlockIsEnabled(bool bHasTimeStep);
	QUARNLIVE_API FQuarnStatusFinding MediaEditorSubsystemExists(bool bExists);
	/** @param bSynchronizedOrNotJudged false only when a judged custom time step failed to synchronise */
	QUARNLIVE_API FQuarnStatusFinding CustomTimeStepIsSynchronized(bool bSynchronizedOrNotJudged);
	/** @param bSynchronizedOrNotUsed false only when a custom timecode provider is used and failed to synchronise */
	QUARNLIVE_API FQuarnStatusFinding TimecodeProviderIsSynchronized(bool bSynchronizedOrNotUsed);
	QUARNLIVE_API FQuarnStatusFinding TimedDataMonitorModuleIsLoaded(bool bLoaded);
	QUARNLIVE_API FQuarnStatusFinding EngineExists(bool bExists);
	QUARNLIVE_API FQuarnStatusFinding TimedDataMonitorSubsystemExists(bool bExists);
	/** The last word: what the monitor's evaluation state says about the studio's timing. */
	QUARNLIVE_API FQuarnStatus TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState State);
} // namespace QuarnSyncRules
