// The --json shape: one object per line, always "time", "frame" and "type" first.

#include "Output/LineWriter.h"
#include "Output/Reporter.h"

#include <cmath>

namespace quarnlive::output
{
	namespace
	{
		using Line = nlohmann::ordered_json;

		// Engine times are sums of float steps; microseconds are plenty and print cleanly.
		double roundedTime(double seconds)
		{
			return std::round(seconds * 1e6) / 1e6;
		}

		Line colorJson(const FLinearColor& color)
		{
			const std::string name = colorName(color);
			if (!name.empty())
			{
				return name;
			}
			return Line{{"r", jsonNumber(color.R)}, {"g", jsonNumber(color.G)}, {"b", jsonNumber(color.B)}, {"a", jsonNumber(color.A)}};
		}

		class JsonReporter final : public Reporter
		{
		public:
			explicit JsonReporter(std::FILE* stream)
				: writer_(stream)
			{
			}

			void status(const Stamp& stamp, const std::string& name, const StatusValue& value) override
			{
				Line line = start(stamp, "status");
				line["name"] = name;
				line["color"] = colorJson(value.color);
				line["message"] = value.message;
				write(line);
			}

			void log(const Stamp& stamp, const std::string& category, const std::string& verbosity, const std::string& message) override
			{
				Line line = start(stamp, "log");
				line["category"] = category;
				line["verbosity"] = verbosity;
				line["message"] = message;
				write(line);
			}

			void action(const Stamp& stamp, const std::string& action, const nlohmann::ordered_json& arguments) override
			{
				Line line = start(stamp, "action");
				line["action"] = action;
				for (const auto& [key, value] : arguments.items())
				{
					line[key] = value;
				}
				write(line);
			}

			void line(const Stamp& stamp, const std::string& type, const nlohmann::ordered_json& fields, const std::string&) override
			{
				Line line = start(stamp, type.c_str());
				for (const auto& [key, value] : fields.items())
				{
					line[key] = value;
				}
				write(line);
			}

			void final(const Stamp& stamp, const std::vector<NamedStatus>& statuses, const nlohmann::ordered_json& extra) override
			{
				Line line = start(stamp, "final");
				Line all = Line::object();
				for (const NamedStatus& status : statuses)
				{
					all[status.name] = Line{{"color", colorJson(status.value.color)}, {"message", status.value.message}};
				}
				line["statuses"] = std::move(all);
				for (const auto& [key, value] : extra.items())
				{
					line[key] = value;
				}
				write(line);
			}

		private:
			static Line start(const Stamp& stamp, const char* type)
			{
				return Line{{"time", roundedTime(stamp.time)}, {"frame", stamp.frame}, {"type", type}};
			}

			void write(const Line& line) { writer_.writeJson(line); }

			LineWriter writer_;
		};
	} // namespace

	std::unique_ptr<Reporter> makeJsonReporter(std::FILE* stream)
	{
		return std::make_unique<JsonReporter>(stream);
	}
} // namespace quarnlive::output
