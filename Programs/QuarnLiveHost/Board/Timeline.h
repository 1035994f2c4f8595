#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>

namespace quarnlive::board
{
	/**
	 * The master's record of a session: one JSON object a line, each with the master's wall
	 * time and timecode, the type of entry and its fields, flushed as it is written so a
	 * reader (or a crash) never finds half a line. Lines come from any thread.
	 */
	class Timeline
	{
	public:
		/** Opens FILE for appending; throws RuntimeFailure naming the file when it cannot. */
		explicit Timeline(const std::filesystem::path& file);
		~Timeline();
		Timeline(const Timeline&) = delete;
		Timeline& operator=(const Timeline&) = delete;

		/** {"wall":"2026-12-06T03:58:01.123456Z","timecode":"03:58:01:07","type":TYPE,...fields}. */
		void write(std::int64_t wallMicros, const std::string& timecode, const std::string& type, const nlohmann::ordered_json& fields);

	private:
		std::FILE* stream_ = nullptr;
		std::mutex lock_;
	};

	/** "2026-12-06T03:58:01.123456Z" (UTC). */
	std::string wallText(std::int64_t wallMicros);
} // namespace quarnlive::board
