// bundlePlaying / bundleCapturing {signal, value} and timeStepState / providerState {state}:
// the media editor subsystem's notifications.

#include "Actions/Action.h"

#include "Errors.h"
#include "QuarnMediaEditorSubsystem.h"

#include <array>

namespace quarnlive::actions
{
	namespace
	{
		// Indexed by the enumerations' values.
		constexpr std::array<std::string_view, 4> signalNames = {"output", "keyOutput", "input", "keyInput"};
		constexpr std::array<std::string_view, 4> stateNames = {"closed", "error", "synchronized", "synchronizing"};

		uint8 indexOf(const std::array<std::string_view, 4>& names, const std::string& name)
		{
			for (std::size_t index = 0; index < names.size(); ++index)
			{
				if (names[index] == name)
				{
					return static_cast<uint8>(index);
				}
			}
			return 0;
		}

		UQuarnMediaEditorSubsystem& mediaEditor(std::string_view action)
		{
			UQuarnMediaEditorSubsystem* subsystem = UQuarnMediaEditorSubsystem::Get();
			if (!subsystem)
			{
				throw RuntimeFailure(std::string(action) + ": there is no media editor subsystem (mediaEditor.present is false)");
			}
			return *subsystem;
		}

		class BundleSignalAction final : public Action
		{
		public:
			BundleSignalAction(std::string_view name, void (UQuarnMediaEditorSubsystem::*raise)(EQuarnMediaIOSignal, bool))
				: name_(name)
				, raise_(raise)
			{
			}

			std::string_view name() const override { return name_; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readChoice(entry.require("signal"), entry.pathOf("signal"), {signalNames[0], signalNames[1], signalNames[2], signalNames[3]});
				json::readBool(entry.require("value"), entry.pathOf("value"));
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				const EQuarnMediaIOSignal signal = static_cast<EQuarnMediaIOSignal>(indexOf(signalNames, arguments.at("signal").get<std::string>()));
				(mediaEditor(name_).*raise_)(signal, arguments.at("value").get<bool>());
			}

		private:
			std::string_view name_;
			void (UQuarnMediaEditorSubsystem::*raise_)(EQuarnMediaIOSignal, bool);
		};

		template <typename TState>
		class SynchronizationStateAction final : public Action
		{
		public:
			SynchronizationStateAction(std::string_view name, void (UQuarnMediaEditorSubsystem::*raise)(TState))
				: name_(name)
				, raise_(raise)
			{
			}

			std::string_view name() const override { return name_; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readChoice(entry.require("state"), entry.pathOf("state"), {stateNames[0], stateNames[1], stateNames[2], stateNames[3]});
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				(mediaEditor(name_).*raise_)(static_cast<TState>(indexOf(stateNames, arguments.at("state").get<std::string>())));
			}

		private:
			std::string_view name_;
			void (UQuarnMediaEditorSubsystem::*raise_)(TState);
		};
	} // namespace

	const Action& bundlePlayingAction()
	{
		static const BundleSignalAction action("bundlePlaying", &UQuarnMediaEditorSubsystem::RaiseBundlePlayingChanged);
		return action;
	}

	const Action& bundleCapturingAction()
	{
		static const BundleSignalAction action("bundleCapturing", &UQuarnMediaEditorSubsystem::RaiseBundleCapturingChanged);
		return action;
	}

	const Action& timeStepStateAction()
	{
		static const SynchronizationStateAction<EQuarnMediaTimeStepSynchronizationState> action("timeStepState", &UQuarnMediaEditorSubsystem::RaiseTimeStepStateChanged);
		return action;
	}

	const Action& providerStateAction()
	{
		static const SynchronizationStateAction<EQuarnMediaProviderSynchronizationState> action("providerState", &UQuarnMediaEditorSubsystem::RaiseProviderStateChanged);
		return action;
	}
} // namespace quarnlive::actions
