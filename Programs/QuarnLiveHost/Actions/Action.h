#pragma once

#include "Json/Checks.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnlive::actions
{
	/** What an action may read or leave behind for the run loop. */
	struct Context
	{
		/** Engine time of the frame the action runs in. */
		double now = 0.0;
		/** "$.timeline[3]": where the running action stands in the scenario, for messages. */
		std::string entryPath;
		/** Set by savePackage: engine time at which the package save is over. */
		std::optional<double> savingPackageUntil;
	};

	/** A timeline action: {"at": 4, "action": "<name>", <arguments>}. */
	class Action
	{
	public:
		virtual ~Action() = default;
		virtual std::string_view name() const = 0;
		/** Looks up and checks the arguments among the entry's keys; the caller refuses the rest. */
		virtual void checkArguments(json::ObjectReader& entry) const = 0;
		/** arguments: the entry without "at" and "action". */
		virtual void run(const nlohmann::ordered_json& arguments, Context& context) const = 0;
	};

	// One accessor per action file.
	const Action& beginPlayAction();
	const Action& endPlayAction();
	const Action& overrideStatusAction();
	const Action& savePackageAction();
	const Action& activeCameraAction();
	const Action& trackingComponentStatusAction();
	const Action& lensComponentStatusAction();
	const Action& bundlePlayingAction();
	const Action& bundleCapturingAction();
	const Action& timeStepStateAction();
	const Action& providerStateAction();
	const Action& addWidgetAction();
	const Action& drawWidgetsAction();
	const Action& removeAllWidgetsAction();

	/** Null for an unknown name. */
	const Action* findAction(std::string_view name);
	std::vector<std::string_view> actionNames();
} // namespace quarnlive::actions
