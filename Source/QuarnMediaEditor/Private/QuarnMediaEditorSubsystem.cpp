#include "QuarnMediaEditorSubsystem.h"

#include "Engine/Engine.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/CallTraceObject.h"

UQuarnMediaEditorSubsystem* UQuarnMediaEditorSubsystem::Get()
{
	UQuarnMediaEditorSubsystem* Subsystem =
		FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? Cast<UQuarnMediaEditorSubsystem>(GEngine->GetEngineSubsystemBase(StaticClass())) : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnMediaEditor"), TEXT("UQuarnMediaEditorSubsystem::Get"), {}, TraceObject(Subsystem));
	}
	return Subsystem;
}

void UQuarnMediaEditorSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}

void UQuarnMediaEditorSubsystem::RaiseBundlePlayingChanged(EQuarnMediaIOSignal Signal, bool bPlaying)
{
	OnBundlePlayingChangedDelegate.Broadcast(Signal, bPlaying);
}

void UQuarnMediaEditorSubsystem::RaiseBundleCapturingChanged(EQuarnMediaIOSignal Signal, bool bCapturing)
{
	OnBundleCapturingChangedDelegate.Broadcast(Signal, bCapturing);
}

void UQuarnMediaEditorSubsystem::RaiseTimeStepStateChanged(EQuarnMediaTimeStepSynchronizationState State)
{
	bTimeStepSynchronized = State == EQuarnMediaTimeStepSynchronizationState::Synchronized;
	TimeStepStateChangedEvent.Broadcast(State);
}

void UQuarnMediaEditorSubsystem::RaiseProviderStateChanged(EQuarnMediaProviderSynchronizationState State)
{
	bProviderSynchronized = State == EQuarnMediaProviderSynchronizationState::Synchronized;
	ProviderStateChangedEvent.Broadcast(State);
}
