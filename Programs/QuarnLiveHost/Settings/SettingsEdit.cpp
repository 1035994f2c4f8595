#include "Settings/SettingsEdit.h"

#include "Errors.h"

#include "ISettingsModule.h"
#include "ISettingsSection.h"
#include "Modules/ModuleManager.h"

namespace quarnlive::settings
{
	Edited editSetting(const std::string& name, const std::vector<std::string>& values)
	{
		ISettingsModule* registry = FModuleManager::GetModulePtr<ISettingsModule>("Settings");
		if (!registry)
		{
			throw RuntimeFailure("there is no settings registry (a game run)");
		}
		Edited edited{findProperty(*registry, name), false};
		applyValues(*edited.found.property, *edited.found.object, values);
		edited.saved = edited.found.section->NotifySectionOnPropertyModified();
		if (edited.saved)
		{
			edited.found.section->Save();
		}
		return edited;
	}
} // namespace quarnlive::settings
