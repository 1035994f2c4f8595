#include "QuarnMediaEditorSubsystem.h"

#include "Engine/Engine.h"

#include <atomic>

namespace
{
	std::atomic<bool> bMediaEditorSubsystemAvailable = true;
}

UQuarnMediaEditorSubsystem* UQuarnMediaEditorSubsystem::Get()
{
	return bMediaEditorSubsystemAvailable && GEngine ? GEngine->GetEngineSubsystem<UQuarnMediaEditorSubsystem>() : nullptr;
}

void UQuarnMediaEditorSubsystem::SetAvailable(bool bAvailable)
{
	bMediaEditorSubsystemAvailable = bAvailable;
	if (bAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnMediaEditorSubsystem::IsAvailable()
{
	return bMediaEditorSubsystemAvailable;
}

bool UQuarnMediaEditorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return bMediaEditorSubsystemAvailable;
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
