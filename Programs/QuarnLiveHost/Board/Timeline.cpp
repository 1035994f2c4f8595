#include "Board/Timeline.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace quarnlive::board
{
	Timeline::Timeline(const std::filesystem::path& file)
		: stream_(std::fopen(file.c_str(), "a"))
	{
		if (!stream_)
		{
			throw RuntimeFailure("cannot write the timeline " + file.string() + ": " + std::strerror(errno));
		}
	}

	Timeline::~Timeline()
	{
		std::fclose(stream_);
	}

	void Timeline::write(std::int64_t wallMicros, const std::string& timecode, const std::string& type, const nlohmann::ordered_json& fields)
	{
		nlohmann::ordered_json entry = {{"wall", wallText(wallMicros)}, {"timecode", timecode}, {"type", type}};
		for (const auto& [key, value] : fields.items())
		{
			entry[key] = value;
		}
		const std::string line = entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
		const std::lock_guard guard(lock_);
		std::fwrite(line.data(), 1, line.size(), stream_);
		std::fflush(stream_);
	}

	std::string wallText(std::int64_t wallMicros)
	{
		const std::time_t seconds = static_cast<std::time_t>(wallMicros / 1000000);
		std::tm parts = {};
		gmtime_r(&seconds, &parts);
		char text[40];
		const std::size_t used = std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &parts);
		std::snprintf(text + used, sizeof(text) - used, ".%06lldZ", static_cast<long long>(wallMicros % 1000000));
		return text;
	}
} // namespace quarnlive::board
