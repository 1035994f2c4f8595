#pragma once

#include "CoreMinimal.h"
#include "ISettingsSection.h"
#include "Modules/ModuleInterface.h"
#include "Templates/SharedPointer.h"

/**
 * The editor's settings registry: pages grouped by container ("Project", "Editor"), category
 * and section. Only the editor loads this module; a game run has none.
 */
class SETTINGS_API ISettingsModule : public IModuleInterface
{
public:
	/**
	 * Adds a section, replacing one registered under the same three names.
	 * @return the new section, or null when the names or the object are missing
	 */
	virtual TSharedPtr<ISettingsSection> RegisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName,
		const FText& DisplayName, const FText& Description, const TWeakObjectPtr<UObject>& SettingsObject) = 0;
	/** Removes the section if it is registered. */
	virtual void UnregisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) = 0;

	/** The registered sections, in registration order. */
	virtual TArray<TSharedPtr<ISettingsSection>> GetAllSections() const = 0;
	/** The section registered under the three names, or null. */
	virtual TSharedPtr<ISettingsSection> FindSection(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) const = 0;
};
