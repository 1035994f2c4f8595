#include "MultiEngine/Printer.h"

#include <cmath>
#include <cstdio>

namespace quarnlive::multiengine
{
	Printer::Printer(std::FILE* stream, bool json)
		: stream_(stream)
		, json_(json)
	{
	}

	void Printer::line(const std::string& type, nlohmann::ordered_json fields, const std::string& text)
	{
		std::string output;
		if (json_)
		{
			nlohmann::ordered_json object = {{"type", type}};
			for (auto& [key, value] : fields.items())
			{
				object[key] = std::move(value);
			}
			output = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
		}
		else
		{
			output = text;
		}
		output += '\n';
		const std::lock_guard<std::mutex> guard(lock_);
		std::fwrite(output.data(), 1, output.size(), stream_);
		std::fflush(stream_);
	}

	void Printer::error(const std::string& message)
	{
		line("error", {{"message", message}}, "error: " + message);
	}

	double roundedNumber(double value)
	{
		const double rounded = std::round(value * 1e4) / 1e4;
		return rounded == 0.0 ? 0.0 : rounded;
	}

	std::string shortNumber(double value)
	{
		char text[64];
		std::snprintf(text, sizeof(text), "%.4f", roundedNumber(value));
		std::string result = text;
		if (result.find('.') != std::string::npos)
		{
			result.erase(result.find_last_not_of('0') + 1);
			if (result.back() == '.')
			{
				result.pop_back();
			}
		}
		return result == "-0" ? "0" : result;
	}
} // namespace quarnlive::multiengine
