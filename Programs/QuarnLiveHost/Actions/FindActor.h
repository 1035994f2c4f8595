#pragma once

#include <string>
#include <string_view>

class AActor;

namespace quarnlive::actions
{
	/** The actor of that name in the current world, else among the cameras the VP subsystems know; null when none. */
	AActor* findActor(const std::string& name);
	/** The same; throws RuntimeFailure naming action when there is none. */
	AActor& requireActor(std::string_view action, const std::string& name);
} // namespace quarnlive::actions
