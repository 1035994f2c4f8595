#pragma once

#include "Templates/SharedPointer.h"

#include <string>
#include <vector>

class FProperty;
class ISettingsModule;
class ISettingsSection;
class UObject;

namespace quarnlive::settings
{
	/** A setting as the settings editor finds it: its page, the page's object and the property. */
	struct Found
	{
		TSharedPtr<ISettingsSection> section;
		UObject* object = nullptr;
		FProperty* property = nullptr;
	};

	/** The editable setting of that name on the registered pages; throws InputError naming the known ones. */
	Found findProperty(const ISettingsModule& registry, const std::string& name);

	/**
	 * Sets the property from text, one value per element for a list. Every value is checked
	 * before the object changes, so a refusal (InputError) leaves it as it was.
	 */
	void applyValues(const FProperty& property, UObject& object, const std::vector<std::string>& values);

	struct Edited
	{
		Found found;
		/** Whether the page's modified handler let the page be saved (it then was). */
		bool saved = false;
	};

	/**
	 * An edit of the running editor's settings page, in-process as the settings editor makes
	 * it: the object changes, the page's modified handler runs, and the page is saved when the
	 * handler agrees. Throws InputError for an unknown setting or a bad value (nothing
	 * changes then) and RuntimeFailure when the engine has no settings registry.
	 */
	Edited editSetting(const std::string& name, const std::vector<std::string>& values);
} // namespace quarnlive::settings
