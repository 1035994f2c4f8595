// Sync leg: genlock, timecode provider and timed data.

#include "Engine/Engine.h"
#include "Modules/ModuleManager.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnStatusSubsystem.h"
#include "Status/QuarnSyncRules.h"
#include "TimedDataMonitorSubsystem.h"

namespace
{
	// Genlock is judged in the editor only.
	bool IsCustomTimeStepSynchronizedOrNotJudged(const UQuarnMediaEditorSubsystem& MediaEditorSubsystem)
	{
		return StaticGameCheck() == 1 || MediaEditorSubsystem.IsTimeStepSynchronized();
	}

	// Without a settings object the provider is not judged.
	bool IsTimecodeProviderSynchronizedOrNotUsed(const UQuarnVirtualProductionSettings* Settings, const UQuarnMediaEditorSubsystem& MediaEditorSubsystem)
	{
		return !Settings || !Settings->bUseCustomTimecodeProvider || MediaEditorSubsystem.IsProviderSynchronized();
	}
} // namespace

void UQuarnStatusSubsystem::UpdateSyncStatus()
{
	using namespace QuarnSyncRules;
	using QuarnStatusFinding::Report;
	SyncStatus = FQuarnStatus();

	// Without a settings object neither configuration check applies.
	const UQuarnVirtualProductionSettings* Settings = GetDefault<UQuarnVirtualProductionSettings>();
	if (Report(SyncStatus, GenlockIsEnabled(!Settings || Settings->bHasTimeStep)))
	{
		return;
	}

	const UQuarnMediaEditorSubsystem* MediaEditorSubsystem = UQuarnMediaEditorSubsystem::Get();
	if (Report(SyncStatus, MediaEditorSubsystemExists(MediaEditorSubsystem != nullptr))
		|| Report(SyncStatus, CustomTimeStepIsSynchronized(IsCustomTimeStepSynchronizedOrNotJudged(*MediaEditorSubsystem)))
		|| Report(SyncStatus, TimecodeProviderIsSynchronized(IsTimecodeProviderSynchronizedOrNotUsed(Settings, *MediaEditorSubsystem)))
		|| Report(SyncStatus, TimedDataMonitorModuleIsLoaded(FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor"))))
		|| Report(SyncStatus, EngineExists(GEngine != nullptr)))
	{
		return;
	}

	const UTimedDataMonitorSubsystem* TimedDataMonitorSubsystem = GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>();
	if (Report(SyncStatus, TimedDataMonitorSubsystemExists(TimedDataMonitorSubsystem != nullptr)))
	{
		return;
	}
	SyncStatus = TimedDataMonitorVerdict(TimedDataMonitorSubsystem->GetEvaluationState());
}
