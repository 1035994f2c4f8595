#pragma once

#include "Json/Checks.h"
#include "Output/Reporter.h"
#include "State/UmgWidgets.h"

#include "Misc/CallTrace.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnlive::actions
{
	/** What an action may read or leave behind for the run loop. */
	struct Context
	{
		/** Engine time and number of the frame the action runs in. */
		double now = 0.0;
		std::uint64_t frame = 0;
		/** "$.timeline[3]": where the running action stands in the scenario, for messages. */
		std::string entryPath;
		/** Set by savePackage: engine time at which the package save is over. */
		std::optional<double> savingPackageUntil;
		/** Runs one engine frame of that many seconds and reports what it changed, stamped as given. */
		std::function<void(double deltaSeconds, const output::Stamp& stamp)> tick;
		/** Where actions report what they found (library lines). */
		output::Reporter* reporter = nullptr;
		/** The widgets of umg.widgets as the state applied last made them. */
		const state::MadeWidgets* widgets = nullptr;

		output::Stamp stamp() const { return output::Stamp{now, frame}; }
	};

	/**
	 * Actions run with the call trace suspended, as host code; what an action hands to the
	 * module (a Blueprint call, an editor event, a settings edit) runs through this, so the
	 * calls the module makes from there are traced as its own.
	 */
	template <typename Call>
	decltype(auto) asModule(Call&& call)
	{
		const FCallTrace::FResumeScope moduleCall;
		return call();
	}

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
	const Action& blendableWeightAction();
	const Action& bundlePlayingAction();
	const Action& bundleCapturingAction();
	const Action& timeStepStateAction();
	const Action& providerStateAction();
	const Action& addWidgetAction();
	const Action& addToViewportAction();
	const Action& drawWidgetsAction();
	const Action& removeAllWidgetsAction();
	const Action& callLibraryAction();
	const Action& callSubsystemAction();
	const Action& addIPAddressAction();
	const Action& overrideIsMasterAction();
	const Action& injectCallbackAction();
	const Action& tickAction();
	const Action& holdGameThreadAction();
	const Action& pumpAction();
	const Action& collectGarbageAction();
	const Action& destroyActorAction();
	const Action& editSettingsAction();

	/** Null for an unknown name. */
	const Action* findAction(std::string_view name);
	std::vector<std::string_view> actionNames();
} // namespace quarnlive::actions
