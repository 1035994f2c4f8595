#pragma once

#include <type_traits>
#include <utility>

/** std::move under the engine's name. */
template <typename T>
constexpr std::remove_reference_t<T>&& MoveTemp(T&& Value)
{
	// The engine rejects both: an rvalue needs no move, and a const object would be copied instead.
	static_assert(std::is_lvalue_reference_v<T>, "MoveTemp called on an rvalue");
	static_assert(!std::is_const_v<std::remove_reference_t<T>>, "MoveTemp called on a const object");
	return static_cast<std::remove_reference_t<T>&&>(Value);
}
