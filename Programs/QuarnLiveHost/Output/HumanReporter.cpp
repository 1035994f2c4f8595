// Lines for people: "  12.40 s  frame 372    TrackingStatus   Green  message".

#include "Output/LineWriter.h"
#include "Output/Reporter.h"

#include <cinttypes>

namespace quarnlive::output
{
	namespace
	{
		const char* ansiFor(const std::string& name)
		{
			if (name == "Green")
			{
				return "\x1b[32m";
			}
			if (name == "Yellow")
			{
				return "\x1b[33m";
			}
			return "\x1b[31m";
		}

		class HumanReporter final : public Reporter
		{
		public:
			HumanReporter(std::FILE* stream, bool useColor)
				: writer_(stream)
				, useColor_(useColor)
			{
			}

			void status(const Stamp& stamp, const std::string& name, const StatusValue& value) override
			{
				write(prefix(stamp, name) + describe(value));
			}

			void log(const Stamp& stamp, const std::string& category, const std::string& verbosity, const std::string& message) override
			{
				write(prefix(stamp, category) + (verbosity == "Log" ? message : verbosity + ": " + message));
			}

			void action(const Stamp& stamp, const std::string& action, const nlohmann::ordered_json& arguments) override
			{
				std::string text = action;
				if (action == "set")
				{
					text += " " + arguments.at("patch").dump();
				}
				else
				{
					for (const auto& [key, value] : arguments.items())
					{
						text += " " + key + "=" + value.dump();
					}
				}
				write(prefix(stamp, "action") + text);
			}

			void line(const Stamp& stamp, const std::string& type, const nlohmann::ordered_json&, const std::string& text) override
			{
				write(prefix(stamp, type) + text);
			}

			void final(const Stamp& stamp, const std::vector<NamedStatus>& statuses, const nlohmann::ordered_json& extra) override
			{
				char heading[96];
				std::snprintf(heading, sizeof(heading), "Final statuses at %.2f s, frame %" PRIu64 ":", stamp.time, stamp.frame);
				std::string text = heading;
				for (const NamedStatus& status : statuses)
				{
					if (status.watched)
					{
						char name[64];
						std::snprintf(name, sizeof(name), "\n  %-16s ", status.name.c_str());
						text += name + describe(status.value);
					}
				}
				for (const auto& [key, value] : extra.items())
				{
					char name[64];
					std::snprintf(name, sizeof(name), "\n  %-16s ", key.c_str());
					text += name + value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
				}
				write(text);
			}

		private:
			static std::string prefix(const Stamp& stamp, const std::string& what)
			{
				char text[128];
				std::snprintf(text, sizeof(text), "%8.2f s  frame %-7" PRIu64 " %-16s ", stamp.time, stamp.frame, what.c_str());
				return text;
			}

			std::string describe(const StatusValue& value) const
			{
				const std::string name = colorName(value.color);
				std::string text;
				if (name.empty())
				{
					text = "(" + shortestText(value.color.R) + ", " + shortestText(value.color.G) + ", " + shortestText(value.color.B) + ", "
						+ shortestText(value.color.A) + ")";
				}
				else
				{
					text = useColor_ ? std::string(ansiFor(name)) + name + "\x1b[0m" : name;
				}
				return value.message.empty() ? text : text + "  " + value.message;
			}

			void write(const std::string& text) { writer_.write(text); }

			LineWriter writer_;
			bool useColor_;
		};
	} // namespace

	std::unique_ptr<Reporter> makeHumanReporter(std::FILE* stream, bool useColor)
	{
		return std::make_unique<HumanReporter>(stream, useColor);
	}
} // namespace quarnlive::output
