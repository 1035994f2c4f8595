#include "Reflection/FunctionCall.h"

#include "Reflection/PropertyJson.h"

#include "Errors.h"
#include "Json/JsonPath.h"

#include "UObject/Class.h"
#include "UObject/Object.h"
#include "UObject/ObjectMacros.h"

#include <memory>

namespace quarnlive::reflection
{
	namespace
	{
		bool isOutput(const FProperty& parameter)
		{
			return parameter.HasAnyPropertyFlags(CPF_OutParm | CPF_ReturnParm);
		}

		/** Plain and const-reference parameters; a non-const reference is an output only. */
		bool isInput(const FProperty& parameter)
		{
			return !parameter.HasAnyPropertyFlags(CPF_OutParm | CPF_ReturnParm);
		}

		std::string textOf(const nlohmann::ordered_json& value)
		{
			return value.is_string() ? value.get<std::string>() : value.dump();
		}

		/** A parameter block made, filled with the inputs and freed by the function's own operations. */
		class Parameters
		{
		public:
			explicit Parameters(const UFunction& function)
				: function_(function)
				, block_(function.NewParms())
			{
			}
			~Parameters() { function_.DeleteParms(block_); }
			Parameters(const Parameters&) = delete;
			Parameters& operator=(const Parameters&) = delete;

			void* get() const { return block_; }

			/** False when the value is not one of the parameter's type. */
			bool set(const FProperty& parameter, const nlohmann::ordered_json& value)
			{
				return parameter.ImportText(FString(textOf(value)).operator*(), parameter.ContainerPtrToValuePtr(block_));
			}

		private:
			const UFunction& function_;
			void* block_;
		};
	} // namespace

	const UFunction& findCallable(const UClass& type, const std::string& name, const std::string& path)
	{
		const UFunction* function = type.FindFunctionByName(FName(FString(name)));
		if (function && function->HasAnyFunctionFlags(FUNC_BlueprintCallable))
		{
			return *function;
		}
		std::string names;
		for (const UFunction* candidate : type.GetOwnFunctions())
		{
			if (candidate->HasAnyFunctionFlags(FUNC_BlueprintCallable))
			{
				names += (names.empty() ? "" : ", ") + candidate->GetName().ToStdString();
			}
		}
		throw InputError(path, "no Blueprint-callable function \"" + name + "\" on " + type.GetName().ToStdString() + "; there are: " + names);
	}

	void checkInputs(const UFunction& function, const nlohmann::ordered_json& inputs, const std::string& path)
	{
		if (!inputs.is_object())
		{
			throw InputError(path, "expected an object of parameter values, got " + inputs.dump());
		}
		Parameters parameters(function);
		for (const auto& [name, value] : inputs.items())
		{
			const FProperty* parameter = function.FindPropertyByName(FName(FString(name)));
			if (!parameter || !isInput(*parameter))
			{
				throw InputError(json::childPath(path, name), "\"" + name + "\" is not an input of " + function.GetName().ToStdString());
			}
			if (!parameters.set(*parameter, value))
			{
				throw InputError(json::childPath(path, name), value.dump() + " is not a value of " + parameter->GetCPPType().ToStdString());
			}
		}
	}

	nlohmann::ordered_json call(UObject& object, const UFunction& function, const nlohmann::ordered_json& inputs)
	{
		Parameters parameters(function);
		for (const auto& [name, value] : inputs.items())
		{
			parameters.set(*function.FindPropertyByName(FName(FString(name))), value);
		}
		function.Invoke(&object, parameters.get());
		nlohmann::ordered_json outputs = nlohmann::ordered_json::object();
		for (const FProperty* parameter : function.GetParameters())
		{
			if (isOutput(*parameter))
			{
				outputs[parameter->GetName().ToStdString()] = valueJson(*parameter, parameter->ContainerPtrToValuePtr(parameters.get()));
			}
		}
		return outputs;
	}
} // namespace quarnlive::reflection
