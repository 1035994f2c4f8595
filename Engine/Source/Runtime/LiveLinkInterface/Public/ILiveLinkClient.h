#pragma once

#include "CoreMinimal.h"
#include "Features/IModularFeatures.h"
#include "LiveLinkTypes.h"
#include "LiveLinkRole.h"
#include "Templates/SubclassOf.h"

class ULiveLinkSourceSettings;

/** The Live Link client, found through the modular features under ModularFeatureName. */
class LIVELINKINTERFACE_API ILiveLinkClient : public IModularFeature
{
public:
	/** "ModularFeature_LiveLinkClient". */
	static FName ModularFeatureName;

	/** The sources' ids, in the order they were added; sources being removed only on request. */
	virtual TArray<FGuid> GetSources(bool bEvenIfPendingKill = false) const = 0;
	virtual ULiveLinkSourceSettings* GetSourceSettings(const FGuid& SourceGuid) const = 0;
	virtual TArray<FLiveLinkSubjectKey> GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const = 0;
	/** The settings object of the subject with exactly this source and name, or null. */
	virtual UObject* GetSubjectSettings(const FLiveLinkSubjectKey& SubjectKey) const = 0;
	/** The role of the enabled subject of that name, or null. */
	virtual TSubclassOf<ULiveLinkRole> GetSubjectRole_AnyThread(FLiveLinkSubjectName SubjectName) const = 0;
	/**
	 * Copies the latest frame of the enabled subject of that name into OutFrame.
	 * @return false when there is no such subject, its role does not fit Role, or it has no frame
	 */
	virtual bool EvaluateFrame_AnyThread(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame) = 0;
};
