#pragma once

#include <optional>
#include <utility>

/** A value that may be unset. */
template <typename OptionalType>
class TOptional
{
public:
	TOptional() = default;
	TOptional(const OptionalType& InValue)
		: Value(InValue) {}
	TOptional(OptionalType&& InValue)
		: Value(std::move(InValue)) {}

	bool IsSet() const { return Value.has_value(); }
	explicit operator bool() const { return IsSet(); }

	/** The value; it must be set. */
	const OptionalType& GetValue() const { return *Value; }

private:
	std::optional<OptionalType> Value;
};
