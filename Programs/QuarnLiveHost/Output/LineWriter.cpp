#include "Output/LineWriter.h"

namespace quarnlive::output
{
	LineWriter::LineWriter(std::FILE* stream)
		: stream_(stream)
	{
	}

	void LineWriter::write(const std::string& text)
	{
		const std::string line = text + '\n';
		const std::lock_guard<std::mutex> guard(lock_);
		std::fwrite(line.data(), 1, line.size(), stream_);
		std::fflush(stream_);
	}

	void LineWriter::writeJson(const nlohmann::ordered_json& line)
	{
		write(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
	}
} // namespace quarnlive::output
