#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "QuarnMediaTypes.h"
#include "QuarnMediaEditorSubsystem.generated.h"

/** A signal of the media bundle started (true) or stopped (false) playing or capturing. */
DECLARE_MULTICAST_DELEGATE_TwoParams(FOnBundleSignalChanged, EQuarnMediaIOSignal, bool);
DECLARE_MULTICAST_DELEGATE_OneParam(FOnTimeStepStateChanged, EQuarnMediaTimeStepSynchronizationState);
DECLARE_MULTICAST_DELEGATE_OneParam(FOnProviderStateChanged, EQuarnMediaProviderSynchronizationState);

/** The media bundle's signals and synchronisation in editor runs. */
UCLASS()
class QUARNMEDIAEDITOR_API UQuarnMediaEditorSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	/** The engine's instance; null without an engine or while unavailable. */
	static UQuarnMediaEditorSubsystem* Get();
	/** See UQuarnEngineSubsystemBase. */
	static void SetAvailable(bool bAvailable);

	/** Whether the engine's frames are locked to the video input; every call is counted. */
	bool IsTimeStepSynchronized() const
	{
		++TimeStepQueryCount;
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnMediaEditor"), TEXT("UQuarnMediaEditorSubsystem::IsTimeStepSynchronized"), {}, bTimeStepSynchronized);
		}
		return bTimeStepSynchronized;
	}
	/** Whether the timecode follows the video input; every call is counted. */
	bool IsProviderSynchronized() const
	{
		++ProviderQueryCount;
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnMediaEditor"), TEXT("UQuarnMediaEditorSubsystem::IsProviderSynchronized"), {}, bProviderSynchronized);
		}
		return bProviderSynchronized;
	}
	int32 GetTimeStepQueryCount() const { return TimeStepQueryCount; }
	int32 GetProviderQueryCount() const { return ProviderQueryCount; }
	void SetTimeStepSynchronized(bool bSynchronized) { bTimeStepSynchronized = bSynchronized; }
	void SetProviderSynchronized(bool bSynchronized) { bProviderSynchronized = bSynchronized; }

	FOnBundleSignalChanged OnBundlePlayingChangedDelegate;
	FOnBundleSignalChanged OnBundleCapturingChangedDelegate;
	FOnTimeStepStateChanged& OnBundleTimeStepSynchronizedStateChanged() { return TimeStepStateChangedEvent; }
	FOnProviderStateChanged& OnBundleProviderSynchronizedStateChanged() { return ProviderStateChangedEvent; }

	void RaiseBundlePlayingChanged(EQuarnMediaIOSignal Signal, bool bPlaying);
	void RaiseBundleCapturingChanged(EQuarnMediaIOSignal Signal, bool bCapturing);
	/** Sets IsTimeStepSynchronized to State == Synchronized, then broadcasts the change. */
	void RaiseTimeStepStateChanged(EQuarnMediaTimeStepSynchronizationState State);
	/** Sets IsProviderSynchronized to State == Synchronized, then broadcasts the change. */
	void RaiseProviderStateChanged(EQuarnMediaProviderSynchronizationState State);

private:
	bool bTimeStepSynchronized = false;
	bool bProviderSynchronized = false;
	mutable int32 TimeStepQueryCount = 0;
	mutable int32 ProviderQueryCount = 0;
	FOnTimeStepStateChanged TimeStepStateChangedEvent;
	FOnProviderStateChanged ProviderStateChangedEvent;
};
