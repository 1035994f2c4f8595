#include "Status/QuarnSyncRules.h"

namespace QuarnSyncRules
{
	using namespace QuarnStatusFinding;

	namespace
	{
		// Where operators report a broken engine install: a missing monitor subsystem is not
		// something they can fix in the project.
		const TCHAR* const QuarnSupportContact = TEXT("support@quarn.example");
	} // namespace

	FQuarnStatusFinding GenlockIsEnabled(bool bHasTimeStep)
	{
		return bHasTimeStep ? Passed() : Yellow(TEXT("Has TimeStep (Genlock) is disabled in the QuarnPranto settings"));
	}

	FQuarnStatusFinding MediaEditorSubsystemExists(bool bExists)
	{
		return bExists ? Passed() : Red(TEXT("No valid Quarn Media Editor Subsystem"));
	}

	FQuarnStatusFinding CustomTimeStepIsSynchronized(bool bSynchronizedOrNotJudged)
	{
		return bSynchronizedOrNotJudged ? Passed() : Red(TEXT("Using a Custom Timestep (genlock) but it has failed to Synchronize. Check the Custom Timestep settings and Reinitialise in the Genlock panel. Review the Output Log for more details."));
	}

	FQuarnStatusFinding TimecodeProviderIsSynchronized(bool bSynchronizedOrNotUsed)
	{
		return bSynchronizedOrNotUsed ? Passed() : Red(TEXT("Using a custom Timecode Provider but it has failed to Synchronize. Check Timecode Provider configuration in settings and Video Controller. Review the Output Log for more details."));
	}

	FQuarnStatusFinding TimedDataMonitorModuleIsLoaded(bool bLoaded)
	{
		return bLoaded ? Passed() : Yellow(TEXT("Timed Data Monitor module is not loaded. Check that the plugin is enabled"));
	}

	FQuarnStatusFinding EngineExists(bool bExists)
	{
		return bExists ? Passed() : Red(FString(TEXT("Timed Data Monitor sub system is not loadable. Please report this to ")) + QuarnSupportContact);
	}

	FQuarnStatusFinding TimedDataMonitorSubsystemExists(bool bExists)
	{
		return bExists ? Passed() : Red(FString(TEXT("Timed Data Monitor sub system is not loaded. Please report this to ")) + QuarnSupportContact);
	}

	FQuarnStatus TimedDataMonitorVerdict(ETimedDataMonitorEvaluationState State)
	{
		switch (State)
		{
		case ETimedDataMonitorEvaluationState::NoSources:
			return MakeStatus(FLinearColor::Red,
				TEXT("The Timed Data Monitor has no sources - check the panel. You should see UDP and video inputs there (if you have them)."));
		case ETimedDataMonitorEvaluationState::NotSynchronized:
			return MakeStatus(FLinearColor::Red,
				TEXT("The Timed Data Monitor is not synchronized - check the panel. This error may be a result of performance issues. Use 'stat gpu' and 'profilegpu' in the console to review your scene's performance."));
		case ETimedDataMonitorEvaluationState::Disabled:
			return MakeStatus(FLinearColor::Yellow, TEXT("The Timed Data Monitor is disabled - check the panel."));
		default:
			return MakeStatus(FLinearColor::Green, FString());
		}
	}
} // namespace QuarnSyncRules
