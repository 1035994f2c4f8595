// "timedDataMonitor": the engine's Timed Data Monitor plug-in: whether its module is loaded,
// whether its engine subsystem exists, and the evaluation state that subsystem reports.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "Errors.h"
#include "Modules/ModuleManager.h"
#include "TimedDataMonitorSubsystem.h"

#include <array>
#include <string_view>

namespace quarnlive::state
{
	namespace
	{
		// Indexed by the state's value.
		constexpr std::array<std::string_view, 4> stateNames = {"noSources", "notSynchronized", "synchronized", "disabled"};

		const FName moduleName(TEXT("TimedDataMonitor"));

		void checkEvaluationState(const nlohmann::ordered_json& value, const std::string& path)
		{
			if (value.is_string())
			{
				json::readChoice(value, path, {stateNames[0], stateNames[1], stateNames[2], stateNames[3]});
				return;
			}
			if (!value.is_number_integer())
			{
				throw InputError(path, "expected an evaluation state (\"noSources\", \"notSynchronized\", \"synchronized\", \"disabled\" or 0 to 255), got " + json::describe(value));
			}
			json::readInteger(value, path, 0, 255);
		}

		uint8 stateValue(const nlohmann::ordered_json& value)
		{
			if (value.is_number_integer())
			{
				return static_cast<uint8>(value.get<int64>());
			}
			const std::string name = value.get<std::string>();
			for (std::size_t index = 0; index < stateNames.size(); ++index)
			{
				if (stateNames[index] == name)
				{
					return static_cast<uint8>(index);
				}
			}
			return 0;
		}

		/** Makes the subsystem if the module and the creation switch now allow it, as a boot would. */
		void createSubsystemIfMissing()
		{
			if (GEngine && !GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>())
			{
				GEngine->InitializeSubsystems();
			}
		}

		void applyLoaded(const nlohmann::ordered_json& value)
		{
			if (value.get<bool>())
			{
				FModuleManager::Get().LoadModule(moduleName);
				createSubsystemIfMissing();
			}
			else if (FModuleManager::Get().IsModuleLoaded(moduleName))
			{
				FModuleManager::Get().UnloadModule(moduleName);
			}
		}

		void applySubsystem(const nlohmann::ordered_json& value)
		{
			UTimedDataMonitorSubsystem::SetAvailable(value.get<bool>());
			if (value.get<bool>())
			{
				createSubsystemIfMissing();
			}
		}

		void applyState(const nlohmann::ordered_json& value)
		{
			if (UTimedDataMonitorSubsystem* monitor = GEngine ? GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>() : nullptr)
			{
				monitor->SetEvaluationState(static_cast<ETimedDataMonitorEvaluationState>(stateValue(value)));
			}
		}
	} // namespace

	const Section& timedDataMonitorSection()
	{
		static const Section section("timedDataMonitor", {
															 Field{"loaded", false, isBool(), applyLoaded, true},
															 Field{"subsystem", true, isBool(), applySubsystem, true},
															 Field{"evaluationState", "noSources", checkEvaluationState, applyState},
														 });
		return section;
	}
} // namespace quarnlive::state
