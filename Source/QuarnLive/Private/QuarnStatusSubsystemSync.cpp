// Sync leg: genlock, timecode provider and timed data.

#include "Engine/Engine.h"
#include "Misc/CoreMisc.h"
#include "Modules/ModuleManager.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnStatusSubsystem.h"
#include "TimedDataMonitorSubsystem.h"

namespace
{
	// Where operators report a broken engine install: a missing monitor subsystem is not
	// something they can fix in the project.
	const TCHAR* const QuarnSupportContact = TEXT("support@quarn.example");

	FQuarnStatus MakeStatus(const FLinearColor& Color, const FString& Message)
	{
		FQuarnStatus Status;
		Status.Color = Color;
		Status.Message = Message;
		return Status;
	}
} // namespace

void UQuarnStatusSubsystem::UpdateSyncStatus()
{
	SyncStatus = FQuarnStatus();

	// Without a settings object neither configuration check applies.
	const UQuarnVirtualProductionSettings* Settings = GetDefault<UQuarnVirtualProductionSettings>();
	if (Settings && !Settings->bHasTimeStep)
	{
		SyncStatus = MakeStatus(FLinearColor::Yellow, TEXT("Has TimeStep (Genlock) is disabled in the QuarnPranto settings"));
		return;
	}

	const UQuarnMediaEditorSubsystem* MediaEditorSubsystem = UQuarnMediaEditorSubsystem::Get();
	if (!MediaEditorSubsystem)
	{
		SyncStatus = MakeStatus(FLinearColor::Red, TEXT("No valid Quarn Media Editor Subsystem"));
		return;
	}

	if (!IsRunningGame() && !MediaEditorSubsystem->IsTimeStepSynchronized())
	{
		SyncStatus = MakeStatus(FLinearColor::Red,
			TEXT("Using a Custom Timestep (genlock) but it has failed to Synchronize. Check the Custom Timestep settings and Reinitialise in the Genlock panel. Review the Output Log for more details."));
		return;
	}

	if (Settings && Settings->bUseCustomTimecodeProvider && !MediaEditorSubsystem->IsProviderSynchronized())
	{
		SyncStatus = MakeStatus(FLinearColor::Red,
			TEXT("Using a custom Timecode Provider but it has failed to Synchronize. Check Timecode Provider configuration in settings and Video Controller. Review the Output Log for more details."));
		return;
	}

	if (!FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor")))
	{
		SyncStatus = MakeStatus(FLinearColor::Yellow, TEXT("Timed Data Monitor module is not loaded. Check that the plugin is enabled"));
		return;
	}

	if (!GEngine)
	{
		SyncStatus = MakeStatus(FLinearColor::Red, FString(TEXT("Timed Data Monitor sub system is not loadable. Please report this to ")) + QuarnSupportContact);
		return;
	}

	UTimedDataMonitorSubsystem* TimedDataMonitorSubsystem = GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>();
	if (!TimedDataMonitorSubsystem)
	{
		SyncStatus = MakeStatus(FLinearColor::Red, FString(TEXT("Timed Data Monitor sub system is not loaded. Please report this to ")) + QuarnSupportContact);
		return;
	}

	switch (static_cast<uint8>(TimedDataMonitorSubsystem->GetEvaluationState()))
	{
		case 0:
			SyncStatus = MakeStatus(FLinearColor::Red,
				TEXT("The Timed Data Monitor has no sources - check the panel. You should see UDP and video inputs there (if you have them)."));
			break;
		case 1:
			SyncStatus = MakeStatus(FLinearColor::Red,
				TEXT("The Timed Data Monitor is not synchronized - check the panel. This error may be a result of performance issues. Use 'stat gpu' and 'profilegpu' in the console to review your scene's performance."));
			break;
		case 3:
			SyncStatus = MakeStatus(FLinearColor::Yellow, TEXT("The Timed Data Monitor is disabled - check the panel."));
			break;
		default:
			SyncStatus = MakeStatus(FLinearColor::Green, FString());
			break;
	}
}
