#pragma once

#include <memory>
#include <utility>

/** The engine's single-owner pointer: a std::unique_ptr with the engine's names. */
template <typename T>
using TUniquePtr = std::unique_ptr<T>;

template <typename T, typename... ArgTypes>
TUniquePtr<T> MakeUnique(ArgTypes&&... Args)
{
	return std::make_unique<T>(std::forward<ArgTypes>(Args)...);
}
