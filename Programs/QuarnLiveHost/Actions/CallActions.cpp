// callLibrary {function, args}: a function of the plug-in's Blueprint function library.
// callSubsystem {subsystem, function, args}: a Blueprint-callable function of one of the
// module's engine subsystems, or the status subsystem's GetSnapshots.
// Either reports what the call gave back in a `library` line.

#include "Actions/Action.h"

#include "Errors.h"
#include "Output/EvaluationWatcher.h"
#include "Reflection/FunctionCall.h"

#include "QuarnLiveFunctionLibrary.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnUMGContextSubsystem.h"
#include "UObject/Class.h"

#include <array>

namespace quarnlive::actions
{
	namespace
	{
		struct Target
		{
			const char* key;
			UClass* (*type)();
			UObject* (*instance)();
		};

		const std::array<Target, 3> subsystems = {
			Target{"status", &UQuarnStatusSubsystem::StaticClass, []() -> UObject* { return UQuarnStatusSubsystem::Get(); }},
			Target{"multiEngine", &UQuarnMultiEngineSubsystem::StaticClass, []() -> UObject* { return UQuarnMultiEngineSubsystem::Get(); }},
			Target{"umgContext", &UQuarnUMGContextSubsystem::StaticClass, []() -> UObject* { return UQuarnUMGContextSubsystem::Get(); }},
		};

		/** Not a UFUNCTION, but what a C++ client of the status subsystem reads. */
		constexpr const char* snapshotsFunction = "GetSnapshots";

		const Target& subsystemOf(const std::string& key)
		{
			for (const Target& target : subsystems)
			{
				if (key == target.key)
				{
					return target;
				}
			}
			throw RuntimeFailure("unknown subsystem " + key);
		}

		void report(Context& context, const std::string& object, const std::string& function, nlohmann::ordered_json outputs)
		{
			const std::string text = object + "." + function + " -> " + outputs.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
			context.reporter->line(context.stamp(), "library",
				nlohmann::ordered_json{{"object", object}, {"function", function}, {"outputs", std::move(outputs)}}, text);
		}

		nlohmann::ordered_json inputsOf(const nlohmann::ordered_json& arguments)
		{
			return arguments.value("args", nlohmann::ordered_json::object());
		}

		class CallLibraryAction final : public Action
		{
		public:
			std::string_view name() const override { return "callLibrary"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				const std::string function = json::readString(entry.require("function"), entry.pathOf("function"));
				const UFunction& callable = reflection::findCallable(*UQuarnLiveFunctionLibrary::StaticClass(), function, entry.pathOf("function"));
				if (const nlohmann::ordered_json* inputs = entry.find("args"))
				{
					reflection::checkInputs(callable, *inputs, entry.pathOf("args"));
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				UClass* library = UQuarnLiveFunctionLibrary::StaticClass();
				const std::string function = arguments.at("function").get<std::string>();
				const UFunction& callable = reflection::findCallable(*library, function, "function");
				// Static functions: the class default object only stands in for the call's context.
				UObject* defaultObject = library->GetDefaultObject();
				if (!defaultObject)
				{
					throw RuntimeFailure("callLibrary: the function library has no default object");
				}
				const nlohmann::ordered_json inputs = inputsOf(arguments);
				report(context, library->GetName().ToStdString(), function, asModule([&] { return reflection::call(*defaultObject, callable, inputs); }));
			}
		};

		class CallSubsystemAction final : public Action
		{
		public:
			std::string_view name() const override { return "callSubsystem"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				const std::string key = json::readChoice(entry.require("subsystem"), entry.pathOf("subsystem"), {"status", "multiEngine", "umgContext"});
				const std::string function = json::readString(entry.require("function"), entry.pathOf("function"));
				if (key == "status" && function == snapshotsFunction)
				{
					return;
				}
				const UFunction& callable = reflection::findCallable(*subsystemOf(key).type(), function, entry.pathOf("function"));
				if (const nlohmann::ordered_json* inputs = entry.find("args"))
				{
					reflection::checkInputs(callable, *inputs, entry.pathOf("args"));
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				const Target& target = subsystemOf(arguments.at("subsystem").get<std::string>());
				const std::string function = arguments.at("function").get<std::string>();
				const std::string object = target.type()->GetName().ToStdString();
				UObject* instance = target.instance();
				if (!instance)
				{
					throw RuntimeFailure("callSubsystem: there is no " + object + " in this run");
				}
				if (function == snapshotsFunction)
				{
					report(context, object, function, nlohmann::ordered_json{{"ReturnValue", output::EvaluationWatcher::current().at("snapshots")}});
					return;
				}
				const UFunction& callable = reflection::findCallable(*target.type(), function, "function");
				const nlohmann::ordered_json inputs = inputsOf(arguments);
				report(context, object, function, asModule([&] { return reflection::call(*instance, callable, inputs); }));
			}
		};
	} // namespace

	const Action& callLibraryAction()
	{
		static const CallLibraryAction action;
		return action;
	}

	const Action& callSubsystemAction()
	{
		static const CallSubsystemAction action;
		return action;
	}
} // namespace quarnlive::actions
