#include "Output/ServerCallLine.h"

namespace quarnlive::output
{
	// Text: broadcastSelectCamera(index=2) -> true; stop returns nothing and shows no arrow.
	void reportServerCall(Reporter& reporter, const Stamp& stamp, const std::string& function, const nlohmann::ordered_json& arguments,
		const nlohmann::ordered_json& result)
	{
		std::string text = function + "(";
		bool first = true;
		for (const auto& [name, value] : arguments.items())
		{
			text += (first ? "" : ", ") + name + "=" + value.dump();
			first = false;
		}
		text += ")";
		if (!result.is_null())
		{
			text += " -> " + result.dump();
		}
		reporter.line(stamp, "server", nlohmann::ordered_json{{"function", function}, {"arguments", arguments}, {"result", result}}, text);
	}
} // namespace quarnlive::output
