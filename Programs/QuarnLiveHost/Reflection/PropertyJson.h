#pragma once

#include <nlohmann/json.hpp>

class FProperty;
class UStruct;

namespace quarnlive::reflection
{
	/**
	 * A reflected value as JSON: numbers, strings, enumerators by name, objects by name (or
	 * null), structs as objects, arrays as arrays; engine value types the reflection does not
	 * look into (transforms, colours) as their engine text.
	 */
	nlohmann::ordered_json valueJson(const FProperty& property, const void* value);

	/** Every property of type in container, the base type's first, each in declaration order. */
	nlohmann::ordered_json structJson(const UStruct& type, const void* container);
} // namespace quarnlive::reflection
