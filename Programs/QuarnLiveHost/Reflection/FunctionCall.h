#pragma once

#include <nlohmann/json.hpp>

#include <string>

class UClass;
class UFunction;
class UObject;

namespace quarnlive::reflection
{
	/**
	 * The BlueprintCallable function of that name on type; throws InputError at path when
	 * there is none (the message lists the ones there are).
	 */
	const UFunction& findCallable(const UClass& type, const std::string& name, const std::string& path);

	/**
	 * Checks that inputs (an object) names only input parameters of function, each with a
	 * value of its type; throws InputError at path otherwise.
	 */
	void checkInputs(const UFunction& function, const nlohmann::ordered_json& inputs, const std::string& path);

	/**
	 * Calls function on object as a Blueprint node would: inputs by parameter name (a string
	 * as the value's text, anything else as its JSON), the others default. Returns the out
	 * parameters and ReturnValue, in declaration order.
	 */
	nlohmann::ordered_json call(UObject& object, const UFunction& function, const nlohmann::ordered_json& inputs);
} // namespace quarnlive::reflection
