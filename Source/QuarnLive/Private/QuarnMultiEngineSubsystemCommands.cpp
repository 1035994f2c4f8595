// Command traffic: the master broadcasts, followers raise what they receive on the game thread.

#include "Async/Async.h"
#include "Misc/CoreMisc.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"

namespace
{
	quarn::QuarnVirtualProductionServer& Server()
	{
		return quarn::QuarnVirtualProductionServer::instance();
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

void UQuarnMultiEngineSubsystem::play()
{
	QueueReceived(true, [](UQuarnMultiEngineSubsystem& Self) {
		Self.PlayDelegate.Broadcast();
		Self.PlayEvent.Broadcast();
	});
}

void UQuarnMultiEngineSubsystem::stop()
{
	QueueReceived(true, [](UQuarnMultiEngineSubsystem& Self) {
		Self.StopDelegate.Broadcast();
		Self.StopEvent.Broadcast();
	});
}

void UQuarnMultiEngineSubsystem::startRecord()
{
	QueueReceived(false, [](UQuarnMultiEngineSubsystem& Self) {
		Self.StartRecordDelegate.Broadcast();
		Self.StartRecordEvent.Broadcast();
	});
}

void UQuarnMultiEngineSubsystem::stopRecord()
{
	QueueReceived(false, [](UQuarnMultiEngineSubsystem& Self) {
		Self.StopRecordDelegate.Broadcast();
		Self.StopRecordEvent.Broadcast();
	});
}

void UQuarnMultiEngineSubsystem::selectCamera(int32 Index)
{
	QueueReceived(false, [Index](UQuarnMultiEngineSubsystem& Self) {
		Self.SelectCameraDelegate.Broadcast(Index);
		Self.SelectCameraEvent.Broadcast(Index);
	});
}

void UQuarnMultiEngineSubsystem::selectCameraXR(int32 Index)
{
	QueueReceived(false, [Index](UQuarnMultiEngineSubsystem& Self) {
		Self.SelectCameraXRDelegate.Broadcast(Index);
		Self.SelectCameraXREvent.Broadcast(Index);
	});
}

void UQuarnMultiEngineSubsystem::selectLevel(int32 Index)
{
	QueueReceived(false, [Index](UQuarnMultiEngineSubsystem& Self) {
		Self.SelectLevelDelegate.Broadcast(Index);
		Self.SelectLevelEvent.Broadcast(Index);
	});
}

void UQuarnMultiEngineSubsystem::triggerAnimation(char Key)
{
	// The same eight bits: a signed -1 arrives as 255.
	const uint8 KeyByte = static_cast<uint8>(Key);
	QueueReceived(false, [KeyByte](UQuarnMultiEngineSubsystem& Self) {
		Self.AnimationKeyDelegate.Broadcast(KeyByte);
		Self.AnimationKeyEvent.Broadcast(KeyByte);
	});
}

void UQuarnMultiEngineSubsystem::triggerCustom(uint8 Value)
{
	QueueReceived(false, [Value](UQuarnMultiEngineSubsystem& Self) {
		Self.ReceiveCustomDelegate.Broadcast(Value);
		Self.ReceiveCustomEvent.Broadcast(Value);
	});
}

void UQuarnMultiEngineSubsystem::triggerCustomEight(quarn::QuarnEightBytes Value)
{
	const uint64 Packed = Value.value;
	QueueReceived(false, [Packed](UQuarnMultiEngineSubsystem& Self) {
		const FEightBytes Bytes = FEightBytes::FromUInt64(Packed);
		Self.ReceiveCustomEightDelegate.Broadcast(Bytes);
		Self.ReceiveCustomEightEvent.Broadcast(Bytes);
	});
}

void UQuarnMultiEngineSubsystem::triggerCustomTransform(quarn::QuarnTransform<float> Value)
{
	QueueReceived(false, [Value](UQuarnMultiEngineSubsystem& Self) {
		const FTransform Transform = ConvertToFTransform(Value);
		Self.ReceiveCustomTransformDelegate.Broadcast(Transform);
		Self.ReceiveCustomTransformEvent.Broadcast(Transform);
	});
}

void UQuarnMultiEngineSubsystem::triggerCustomInt(int32 Value)
{
	QueueReceived(false, [Value](UQuarnMultiEngineSubsystem& Self) {
		Self.ReceiveCustomIntDelegate.Broadcast(Value);
		Self.ReceiveCustomIntEvent.Broadcast(Value);
	});
}
