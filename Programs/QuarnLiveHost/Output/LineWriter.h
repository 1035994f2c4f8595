#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <mutex>
#include <string>

namespace quarnlive::output
{
	/**
	 * The host's one writer of output lines. Lines come from the game thread and from server
	 * threads, so each is written whole under a lock and flushed at once: a program reading
	 * through a pipe sees it without waiting for a buffer to fill.
	 */
	class LineWriter
	{
	public:
		explicit LineWriter(std::FILE* stream);

		void write(const std::string& text);
		/** One JSON object on one line; text that is not UTF-8 is replaced rather than refused. */
		void writeJson(const nlohmann::ordered_json& line);

	private:
		std::FILE* stream_;
		std::mutex lock_;
	};
} // namespace quarnlive::output
