#include "Output/EventArguments.h"

#include "Output/Reporter.h"
#include "QuarnEightBytes.h"
#include "QuarnMultiEngineSubsystem.h"

#include <cstdlib>

namespace quarnlive::output
{
	nlohmann::ordered_json eightBytesJson(const FEightBytes& bytes)
	{
		return nlohmann::ordered_json::array({bytes.byte1, bytes.byte2, bytes.byte3, bytes.byte4, bytes.byte5, bytes.byte6, bytes.byte7, bytes.byte8});
	}

	nlohmann::ordered_json transformJson(const FTransform& transform, double (*number)(float value))
	{
		const quarn::QuarnTransform<float> values = UQuarnMultiEngineSubsystem::ConvertToQuarnTransformF(transform);
		nlohmann::ordered_json result = nlohmann::ordered_json::array();
		for (int index = 0; index < 9; ++index)
		{
			result.push_back(number(values[index]));
		}
		return result;
	}

	nlohmann::ordered_json transformJson(const FTransform& transform)
	{
		return transformJson(transform, [](float value) {
			// A rotation of -0 degrees is 0 to anyone reading the line.
			return jsonNumber(value == 0.f ? 0.f : value);
		});
	}
} // namespace quarnlive::output
