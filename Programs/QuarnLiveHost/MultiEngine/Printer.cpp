#include "MultiEngine/Printer.h"

namespace quarnlive::multiengine
{
	Printer::Printer(std::FILE* stream, bool json)
		: writer_(stream)
		, json_(json)
	{
	}

	void Printer::line(const std::string& type, nlohmann::ordered_json fields, const std::string& text)
	{
		if (!json_)
		{
			writer_.write(text);
			return;
		}
		nlohmann::ordered_json object = {{"type", type}};
		for (auto& [key, value] : fields.items())
		{
			object[key] = std::move(value);
		}
		writer_.writeJson(object);
	}

	void Printer::error(const std::string& message)
	{
		line("error", {{"message", message}}, "error: " + message);
	}
} // namespace quarnlive::multiengine
