#pragma once

#include <type_traits>
#include <utility>

/** std::move under the engine's name. */
template <typename T>
constexpr std::remove_reference_t<T>&& MoveTemp(T&& Value)
{
	return static_cast<std::remove_reference_t<T>&&>(Value);
}
