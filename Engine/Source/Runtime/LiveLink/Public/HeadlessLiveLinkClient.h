#pragma once

#include <unordered_map>

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "ILiveLinkClient.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <atomic>

/**
 * The headless engine's Live Link client. It receives nothing from the network: tests and
 * scenarios state which sources and subjects exist and what their latest frames are.
 */
class LIVELINK_API FHeadlessLiveLinkClient : public ILiveLinkClient
{
public:
	static FHeadlessLiveLinkClient& Get();
	/** Makes the client available as the ILiveLinkClient modular feature; a second call does nothing. */
	static void Register();
	static void Unregister();

	/**
	 * Adds a source and returns its new id.
	 * @param Settings may be null, as for a source that has no settings object yet
	 * @param bPendingKill the source is being removed: GetSources leaves it out unless asked
	 */
	FGuid AddSource(ULiveLinkSourceSettings* Settings, bool bPendingKill = false);
	/** Removes the source and its subjects. */
	void RemoveSource(FGuid SourceGuid);
	/** Adds a subject, or updates it when a subject with that key exists (its frame stays). */
	void AddSubject(const FLiveLinkSubjectKey& SubjectKey, UObject* Settings, TSubclassOf<ULiveLinkRole> Role, bool bEnabled = true,
		bool bVirtual = false);
	/**
	 * Sets the latest frame of every subject of that name to a copy of FrameData.
	 * @param FrameStruct the frame's type; null for no frame
	 */
	void SetSubjectFrame(FLiveLinkSubjectName SubjectName, UScriptStruct* FrameStruct, const void* FrameData);
	void ClearSubjectFrame(FLiveLinkSubjectName SubjectName);
	/** Forgets every source and subject and the evaluation count. */
	void Reset();
	/** How many times EvaluateFrame_AnyThread was called since the last Reset. */
	int32 GetEvaluateCount() const { return EvaluateCount.load(); }

	TArray<FGuid> GetSources(bool bEvenIfPendingKill = false) const override;
	ULiveLinkSourceSettings* GetSourceSettings(const FGuid& SourceGuid) const override;
	TArray<FLiveLinkSubjectKey> GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const override;
	UObject* GetSubjectSettings(const FLiveLinkSubjectKey& SubjectKey) const override;
	TSubclassOf<ULiveLinkRole> GetSubjectRole_AnyThread(FLiveLinkSubjectName SubjectName) const override;
	bool EvaluateFrame_AnyThread(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame) override;

private:
	struct FSource
	{
		FGuid Guid;
		TWeakObjectPtr<ULiveLinkSourceSettings> Settings;
		bool bPendingKill = false;
	};

	struct FSubject
	{
		FLiveLinkSubjectKey Key;
		TWeakObjectPtr<UObject> Settings;
		TSubclassOf<ULiveLinkRole> Role;
		bool bEnabled = true;
		bool bVirtual = false;
		FLiveLinkFrameDataStruct Frame;
	};

	/** The enabled subject of that name, which is the one the engine evaluates. */
	const FSubject* FindEnabledSubject(FLiveLinkSubjectName SubjectName) const;
	bool EvaluateFrame(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame);
	FCallTraceValue TraceSource(const FGuid& SourceGuid) const;
	FCallTraceValue TraceSubjectKey(const FLiveLinkSubjectKey& SubjectKey) const;
	/** Keeps the lookups by key and by name constant-time, as the engine's client is; call after any change of Subjects. */
	void RebuildIndex();

	struct FKeyHash
	{
		SIZE_T operator()(const FLiveLinkSubjectKey& Key) const
		{
			return static_cast<SIZE_T>(GetTypeHash(Key.Source)) * 31u + Key.SubjectName.Name.GetComparisonIndex();
		}
	};

	// Evaluation may come from any thread; the state is set on the game thread.
	mutable FCriticalSection Lock;
	TArray<FSource> Sources;
	TArray<FSubject> Subjects;
	std::unordered_map<FLiveLinkSubjectKey, int32, FKeyHash> SubjectIndexByKey;
	std::unordered_map<uint32, int32> EnabledSubjectIndexByName;
	std::atomic<int32> EvaluateCount = 0;
};
