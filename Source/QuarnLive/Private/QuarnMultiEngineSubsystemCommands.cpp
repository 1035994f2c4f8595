// Command traffic: the master broadcasts, followers raise what they receive on the game thread.

#include "Async/Async.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"

namespace
{
	quarn::QuarnVirtualProductionServer& Server()
	{
		return quarn::QuarnVirtualProductionServer::instance();
	}

	// A received command is raised twice, with the same arguments: the Blueprint event first,
	// then the native one.
	template <typename DelegateType, typename EventType, typename... ArgTypes>
	TFunction<void(UQuarnMultiEngineSubsystem&)> RaiseBoth(DelegateType UQuarnMultiEngineSubsystem::*Delegate, EventType UQuarnMultiEngineSubsystem::*Event, ArgTypes... Args)
	{
		return [Delegate, Event, Args...](UQuarnMultiEngineSubsystem& Self) {
			(Self.*Delegate).Broadcast(Args...);
			(Self.*Event).Broadcast(Args...);
		};
	}
} // namespace

bool UQuarnMultiEngineSubsystem::BroadcastPlay() { return CanBroadcast() && Server().broadcastPlay(); }
bool UQuarnMultiEngineSubsystem::BroadcastStop() { return CanBroadcast() && Server().broadcastStop(); }
bool UQuarnMultiEngineSubsystem::BroadcastStartRecord() { return CanBroadcast() && Server().broadcastStartRecord(); }
bool UQuarnMultiEngineSubsystem::BroadcastStopRecord() { return CanBroadcast() && Server().broadcastStopRecord(); }
bool UQuarnMultiEngineSubsystem::BroadcastSelectCamera(int32 CameraIndex) { return CanBroadcast() && Server().broadcastSelectCamera(CameraIndex); }
bool UQuarnMultiEngineSubsystem::BroadcastSelectCameraXR(int32 CameraIndex) { return CanBroadcast() && Server().broadcastSelectCameraXR(CameraIndex); }
bool UQuarnMultiEngineSubsystem::BroadcastSelectLevel(int32 LevelIndex) { return CanBroadcast() && Server().broadcastSelectLevel(LevelIndex); }
bool UQuarnMultiEngineSubsystem::BroadcastTriggerAnimation(uint8 Key) { return CanBroadcast() && Server().broadcastTriggerAnimation(static_cast<char>(Key)); }
bool UQuarnMultiEngineSubsystem::BroadcastTriggerCustom(uint8 Value) { return CanBroadcast() && Server().broadcastTriggerCustom(Value); }
bool UQuarnMultiEngineSubsystem::BroadcastTriggerCustomEight(FEightBytes Bytes) { return CanBroadcast() && Server().broadcastTriggerCustomEight(Bytes.ToUInt64()); }
bool UQuarnMultiEngineSubsystem::BroadcastTriggerCustomInt(int32 Value) { return CanBroadcast() && Server().broadcastTriggerCustomInt(Value); }

bool UQuarnMultiEngineSubsystem::BroadcastTriggerCustomTransform(FTransform Transform)
{
	return CanBroadcast() && Server().broadcastTriggerCustomTransform(ConvertToQuarnTransformF(Transform));
}

void UQuarnMultiEngineSubsystem::QueueReceived(bool bDroppedInGameRuns, TFunction<void(UQuarnMultiEngineSubsystem&)> Raise)
{
	// A weak pointer lets the game thread tell whether the subsystem still exists without touching it.
	TWeakObjectPtr<UQuarnMultiEngineSubsystem> WeakThis(this);
	AsyncTask(ENamedThreads::GameThread, [WeakThis, bDroppedInGameRuns, Raise = std::move(Raise)]() {
		UQuarnMultiEngineSubsystem* Subsystem = WeakThis.Get(true);
		if (!Subsystem || !Subsystem->CanReceive())
		{
			return;
		}
		if (bDroppedInGameRuns && IsRunningGame())
		{
			return;
		}
		if (!IsValid(Subsystem))
		{
			return;
		}
		Raise(*Subsystem);
	});
}

void UQuarnMultiEngineSubsystem::play() { QueueReceived(true, RaiseBoth(&UQuarnMultiEngineSubsystem::PlayDelegate, &UQuarnMultiEngineSubsystem::PlayEvent)); }
void UQuarnMultiEngineSubsystem::stop() { QueueReceived(true, RaiseBoth(&UQuarnMultiEngineSubsystem::StopDelegate, &UQuarnMultiEngineSubsystem::StopEvent)); }
void UQuarnMultiEngineSubsystem::startRecord() { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::StartRecordDelegate, &UQuarnMultiEngineSubsystem::StartRecordEvent)); }
void UQuarnMultiEngineSubsystem::stopRecord() { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::StopRecordDelegate, &UQuarnMultiEngineSubsystem::StopRecordEvent)); }
void UQuarnMultiEngineSubsystem::selectCamera(int32 Index) { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::SelectCameraDelegate, &UQuarnMultiEngineSubsystem::SelectCameraEvent, Index)); }
void UQuarnMultiEngineSubsystem::selectCameraXR(int32 Index) { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::SelectCameraXRDelegate, &UQuarnMultiEngineSubsystem::SelectCameraXREvent, Index)); }
void UQuarnMultiEngineSubsystem::selectLevel(int32 Index) { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::SelectLevelDelegate, &UQuarnMultiEngineSubsystem::SelectLevelEvent, Index)); }

void UQuarnMultiEngineSubsystem::triggerAnimation(char Key)
{
	// The same eight bits: a signed -1 arrives as 255.
	QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::AnimationKeyDelegate, &UQuarnMultiEngineSubsystem::AnimationKeyEvent, static_cast<uint8>(Key)));
}

void UQuarnMultiEngineSubsystem::triggerCustom(uint8 Value) { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::ReceiveCustomDelegate, &UQuarnMultiEngineSubsystem::ReceiveCustomEvent, Value)); }

void UQuarnMultiEngineSubsystem::triggerCustomEight(quarn::QuarnEightBytes Value)
{
	QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::ReceiveCustomEightDelegate, &UQuarnMultiEngineSubsystem::ReceiveCustomEightEvent, FEightBytes::FromUInt64(Value.value)));
}

void UQuarnMultiEngineSubsystem::triggerCustomTransform(quarn::QuarnTransform<float> Value)
{
	QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::ReceiveCustomTransformDelegate, &UQuarnMultiEngineSubsystem::ReceiveCustomTransformEvent, ConvertToFTransform(Value)));
}

void UQuarnMultiEngineSubsystem::triggerCustomInt(int32 Value) { QueueReceived(false, RaiseBoth(&UQuarnMultiEngineSubsystem::ReceiveCustomIntDelegate, &UQuarnMultiEngineSubsystem::ReceiveCustomIntEvent, Value)); }
