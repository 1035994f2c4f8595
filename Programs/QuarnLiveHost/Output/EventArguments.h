#pragma once

#include <nlohmann/json.hpp>

struct FEightBytes;
struct FTransform;

namespace quarnlive::output
{
	/** The eight bytes, byte1 first. */
	nlohmann::ordered_json eightBytesJson(const FEightBytes& bytes);
	/** Location XYZ, roll pitch yaw in degrees, scale XYZ, as the multi-engine wire carries them; number writes each. */
	nlohmann::ordered_json transformJson(const FTransform& transform, double (*number)(float value));
	/** The same, each value as its shortest text. */
	nlohmann::ordered_json transformJson(const FTransform& transform);
} // namespace quarnlive::output
