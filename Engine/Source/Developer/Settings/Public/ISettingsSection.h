#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

/** One page of a settings container: its identity, its settings object and its modified notification. */
class SETTINGS_API ISettingsSection
{
public:
	/** Runs after the settings editor changed a property of the section's object; true lets it save. */
	DECLARE_DELEGATE_RetVal(bool, FOnModified);

	virtual ~ISettingsSection() = default;

	virtual FName GetContainerName() const = 0;
	virtual FName GetCategoryName() const = 0;
	virtual FName GetName() const = 0;
	virtual FText GetDisplayName() const = 0;
	virtual FText GetDescription() const = 0;
	/** Null once the object is gone. */
	virtual TWeakObjectPtr<UObject> GetSettingsObject() const = 0;

	/** The section's modified notification: one binding, a later one replaces it. */
	virtual FOnModified& OnModified() = 0;

	/**
	 * What the settings editor calls after changing a property: runs the modified
	 * notification and returns its answer, true when nothing is bound.
	 */
	virtual bool NotifySectionOnPropertyModified() = 0;
	/** Writes the settings object's configuration; false when there is no object to save. */
	virtual bool Save() = 0;
};
