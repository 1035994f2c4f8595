#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "Interfaces/IPv4/IPv4Address.h"
#include "QuarnEightBytes.h"
#include "QuarnEngineSubsystemBase.h"
#include "QuarnVirtualProductionServerDelegate.h"
#include "QuarnMultiEngineSubsystem.generated.h"

// "appropiate": the shipped tooltip's spelling, kept on purpose.
/** Whenever we get events from other engines, we broadcast them so any listeners can take appropiate action */
DECLARE_DYNAMIC_MULTICAST_DELEGATE(FOnPlay);
DECLARE_DYNAMIC_MULTICAST_DELEGATE(FOnStop);
DECLARE_DYNAMIC_MULTICAST_DELEGATE(FOnStartRecord);
DECLARE_DYNAMIC_MULTICAST_DELEGATE(FOnStopRecord);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnSelectCamera, int32, CameraIndex);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnSelectCameraXR, int32, CameraIndex);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnSelectLevel, int32, LevelIndex);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnAnimationKey, uint8, Key);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnReceiveCustom, uint8, Value);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnReceiveCustomEight, FEightBytes, Bytes);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnReceiveCustomTransform, FTransform, Transform);
DECLARE_DYNAMIC_MULTICAST_DELEGATE_OneParam(FOnReceiveCustomInt, int32, Value);

/** Wrapper for the Quarn Virtual Production API server with callbacks */
UCLASS(BlueprintType)
class QUARNLIVE_API UQuarnMultiEngineSubsystem : public UQuarnEngineSubsystemBase, public quarn::QuarnVirtualProductionServerDelegate
{
	GENERATED_BODY()

public:
	DECLARE_MULTICAST_DELEGATE(FOnCommand);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnIndexCommand, int32);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnByteCommand, uint8);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnEightBytesCommand, FEightBytes);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnTransformCommand, FTransform);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnMultiEngineMasterChanged, bool /* bMultiEngineMaster */);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnMultiEngineIpsChanged, const TArray<FString>& /* MultiEngineIps */);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnShouldBroadcastPIEChanged, bool /* bShouldBroadcastPIE */);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnShouldBroadcastRecordChanged, bool /* bShouldBroadcastRecord */);
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnDisableMultiEngineChanged, bool /* bDisableMultiEngine */);

	/** The engine's instance, or null before the engine exists. */
	static UQuarnMultiEngineSubsystem* Get();

	virtual void Initialize(FSubsystemCollectionBase& Collection) override;
	virtual void Deinitialize() override;

	/** Does this engine have MultiEngine enabled */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool IsEnabled();

	/** Is this engine the broadcast master */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool IsMaster();

	/** Saves the master role in the project settings; taken up at the next settings change or start. */
	void OverrideIsMaster();

	/** Function to broadcast the play in editor signal to all other Quarn instances. */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastPlay();

	/** Function to broadcast the stop in editor signal to all other Quarn instances */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastStop();

	/** Function to broadcast the start record signal to all other Quarn instances */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastStartRecord();

	/** Function to broadcast the stop record signal to all other Quarn instances */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastStopRecord();

	/** Function to camera select signal to all other Quarn instances */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastSelectCamera(int32 CameraIndex);

	/** Function to camera select signal to all other Quarn instances. Used for XR multicam switching */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastSelectCameraXR(int32 CameraIndex);

	/** Function to level select signal to all other Quarn instances */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastSelectLevel(int32 LevelIndex);

	/** Broadcast an animation Multi-Engine signal */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastTriggerAnimation(uint8 Key);

	/** Broadcast a single byte custom Multi-Engine signal */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastTriggerCustom(uint8 Value);

	/** Broadcast a multi-byte custom Multi-Engine signal */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastTriggerCustomEight(FEightBytes Bytes);

	/** Broadcast 1 integer Multi-Engine signal */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastTriggerCustomInt(int32 Value);

	/** Broadcast a custom transform Multi-Engine signal */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	bool BroadcastTriggerCustomTransform(FTransform Transform);

	/** Get followers IP addresses */
	UFUNCTION(BlueprintCallable, Category = "Quarn|Live")
	TArray<FString> GetFollowersIpAddresses();

	/** Adds a follower address to the project settings (in its canonical dotted form) and saves them. */
	void AddIPAddress(FString Address);

	FOnCommand& OnPlay() { return PlayEvent; }
	FOnCommand& OnStop() { return StopEvent; }
	FOnCommand& OnStartRecord() { return StartRecordEvent; }
	FOnCommand& OnStopRecord() { return StopRecordEvent; }
	FOnIndexCommand& OnSelectCamera() { return SelectCameraEvent; }
	FOnIndexCommand& OnSelectLevel() { return SelectLevelEvent; }
	FOnByteCommand& OnAnimationKey() { return AnimationKeyEvent; }
	// "Onr": the shipped accessor names of the four custom events, kept on purpose.
	FOnByteCommand& OnrReceiveCustom() { return ReceiveCustomEvent; }
	FOnEightBytesCommand& OnrReceiveCustomEight() { return ReceiveCustomEightEvent; }
	FOnTransformCommand& OnrReceiveCustomTransform() { return ReceiveCustomTransformEvent; }
	FOnIndexCommand& OnrReceiveCustomInt() { return ReceiveCustomIntEvent; }
	FOnIndexCommand& OnSelectCameraXR() { return SelectCameraXREvent; }

	FOnMultiEngineMasterChanged& MultiEngineMasterChanged() { return MultiEngineMasterChangedEvent; }
	FOnMultiEngineIpsChanged& MultiEngineIpsChanged() { return MultiEngineIpsChangedEvent; }
	FOnShouldBroadcastPIEChanged& ShouldBroadcastPIEChanged() { return ShouldBroadcastPIEChangedEvent; }
	FOnShouldBroadcastRecordChanged& ShouldBroadcastRecordChanged() { return ShouldBroadcastRecordChangedEvent; }
	FOnDisableMultiEngineChanged& DisableMultiEngineChanged() { return DisableMultiEngineChangedEvent; }

	static quarn::QuarnTransform<float> ConvertToQuarnTransformF(const FTransform& Transform);
	static FTransform ConvertToFTransform(const quarn::QuarnTransform<float>& Transform);

	// Server callbacks: commands arrive on the server's threads and move to the game thread.
	virtual void play() override;
	virtual void stop() override;
	virtual void startRecord() override;
	virtual void stopRecord() override;
	virtual void selectCamera(int32 Index) override;
	virtual void selectCameraXR(int32 Index) override;
	virtual void selectLevel(int32 Index) override;
	virtual void triggerAnimation(char Key) override;
	virtual void triggerCustom(uint8 Value) override;
	virtual void triggerCustomEight(quarn::QuarnEightBytes Value) override;
	virtual void triggerCustomTransform(quarn::QuarnTransform<float> Value) override;
	virtual void triggerCustomInt(int32 Value) override;
	/** Answered at once on the server's thread; only a follower reports its timecode. */
	virtual quarn::Timecode getTimecode() override;
	/** Answered at once on the server's thread; only the master hands out its followers. */
	virtual bool getBroadcastIpsCSV(quarn::QuarnString& Ips) override;

private:
	FOnCommand PlayEvent;
	FOnCommand StopEvent;
	FOnCommand StartRecordEvent;
	FOnCommand StopRecordEvent;
	FOnIndexCommand SelectCameraEvent;
	FOnIndexCommand SelectLevelEvent;
	FOnByteCommand AnimationKeyEvent;
	FOnByteCommand ReceiveCustomEvent;
	FOnEightBytesCommand ReceiveCustomEightEvent;
	FOnTransformCommand ReceiveCustomTransformEvent;
	FOnIndexCommand ReceiveCustomIntEvent;
	FOnIndexCommand SelectCameraXREvent;

	/** bp delegates */
	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Play"))
	FOnPlay PlayDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Stop"))
	FOnStop StopDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Start Record"))
	FOnStartRecord StartRecordDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Stop Record"))
	FOnStopRecord StopRecordDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Select Camera"))
	FOnSelectCamera SelectCameraDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Select Level"))
	FOnSelectLevel SelectLevelDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Animation Key"))
	FOnAnimationKey AnimationKeyDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Custom"))
	FOnReceiveCustom ReceiveCustomDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Custom Eight"))
	FOnReceiveCustomEight ReceiveCustomEightDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Custom Transform"))
	FOnReceiveCustomTransform ReceiveCustomTransformDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Custom Int"))
	FOnReceiveCustomInt ReceiveCustomIntDelegate;

	UPROPERTY(BlueprintAssignable, Category = "Quarn|Live", meta = (DisplayName = "On Select Camera XR"))
	FOnSelectCamera SelectCameraXRDelegate;

	FOnMultiEngineMasterChanged MultiEngineMasterChangedEvent;
	FOnMultiEngineIpsChanged MultiEngineIpsChangedEvent;
	FOnShouldBroadcastPIEChanged ShouldBroadcastPIEChangedEvent;
	FOnShouldBroadcastRecordChanged ShouldBroadcastRecordChangedEvent;
	FOnDisableMultiEngineChanged DisableMultiEngineChangedEvent;

	TArray<FIPv4Address> FollowerAddresses;
	TArray<FString> OtherMultiEngineIps;
	FCriticalSection FollowerAddressesLock;

	bool bEnabled = false;
	bool bIsMaster = false;

	bool CanBroadcast() const;
	bool CanReceive() const;
	void OnLiveSettingsChanged();
	bool ParseIPs(const FString& Text, FIPv4Address& OutAddress) const;
	void SetOtherMultiEngineIps(TArray<FString> Ips);
	/** Runs Raise on the game thread if this engine still receives commands then. */
	void QueueReceived(bool bDroppedInGameRuns, TFunction<void(UQuarnMultiEngineSubsystem&)> Raise);

	friend struct FQuarnMultiEngineSubsystemTestAccess;
};
