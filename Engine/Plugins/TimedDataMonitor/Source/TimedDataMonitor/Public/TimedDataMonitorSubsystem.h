#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "UObject/Class.h"
#include "TimedDataMonitorSubsystem.generated.h"

/** How the timed data sources (tracking, video, timecode) line up with the engine's evaluation time. */
UENUM()
enum class ETimedDataMonitorEvaluationState : uint8
{
	/** No timed data source is monitored. */
	NoSample,
	/** At least one source has no sample for the evaluation time. */
	OutsideRange,
	/** Every source has samples around the evaluation time. */
	InsideRange,
	/** Monitoring is switched off. */
	Disabled,
};

/**
 * Watches the engine's timed data sources. Exists only while the TimedDataMonitor module is
 * loaded. The headless engine does not sample sources: it holds the evaluation state that a
 * test or a scenario sets.
 */
UCLASS()
class TIMEDDATAMONITOR_API UTimedDataMonitorSubsystem : public UEngineSubsystem
{
	GENERATED_BODY()

public:
	bool ShouldCreateSubsystem(UObject* Outer) const override;

	/** The state of every monitored source taken together; not const, as in the engine. */
	ETimedDataMonitorEvaluationState GetEvaluationState()
	{
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("TimedDataMonitor"), TEXT("UTimedDataMonitorSubsystem::GetEvaluationState"), {},
				StaticEnum<ETimedDataMonitorEvaluationState>()->GetNameStringByValue(static_cast<int64>(EvaluationState)));
		}
		return EvaluationState;
	}
	void SetEvaluationState(ETimedDataMonitorEvaluationState InEvaluationState) { EvaluationState = InEvaluationState; }

	/** Takes the subsystem away or brings it back (FSubsystemAvailability): the module then runs without it. */
	static void SetAvailable(bool bAvailable);

private:
	ETimedDataMonitorEvaluationState EvaluationState = ETimedDataMonitorEvaluationState::NoSample;
};
