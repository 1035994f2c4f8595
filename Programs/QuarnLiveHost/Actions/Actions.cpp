#include "Actions/Action.h"

#include <array>

namespace quarnlive::actions
{
	namespace
	{
		const std::array<const Action*, 27>& allActions()
		{
			static const std::array<const Action*, 27> all = {
				&beginPlayAction(),
				&endPlayAction(),
				&overrideStatusAction(),
				&savePackageAction(),
				&activeCameraAction(),
				&trackingComponentStatusAction(),
				&lensComponentStatusAction(),
				&blendableWeightAction(),
				&bundlePlayingAction(),
				&bundleCapturingAction(),
				&timeStepStateAction(),
				&providerStateAction(),
				&addWidgetAction(),
				&addToViewportAction(),
				&drawWidgetsAction(),
				&removeAllWidgetsAction(),
				&callLibraryAction(),
				&callSubsystemAction(),
				&addIPAddressAction(),
				&overrideIsMasterAction(),
				&injectCallbackAction(),
				&tickAction(),
				&holdGameThreadAction(),
				&pumpAction(),
				&collectGarbageAction(),
				&destroyActorAction(),
				&editSettingsAction(),
			};
			return all;
		}
	} // namespace

	const Action* findAction(std::string_view name)
	{
		for (const Action* action : allActions())
		{
			if (action->name() == name)
			{
				return action;
			}
		}
		return nullptr;
	}

	std::vector<std::string_view> actionNames()
	{
		std::vector<std::string_view> names;
		for (const Action* action : allActions())
		{
			names.push_back(action->name());
		}
		return names;
	}
} // namespace quarnlive::actions
