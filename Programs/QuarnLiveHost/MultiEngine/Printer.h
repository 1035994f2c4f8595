#pragma once

#include "Output/LineWriter.h"
#include "Output/Numbers.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace quarnlive::multiengine
{
	/**
	 * The multi-engine commands' output: one line per thing that happened, as text or as a
	 * JSON object. Lines come from the game thread and from the server's threads (the
	 * timecode log line), so each is written whole under a lock and flushed at once: a
	 * program reading through a pipe sees it without waiting for a buffer to fill.
	 */
	class Printer
	{
	public:
		Printer(std::FILE* stream, bool json);

		bool json() const { return json_; }

		/** type and fields make the JSON line; text is the line people read. */
		void line(const std::string& type, nlohmann::ordered_json fields, const std::string& text);
		void error(const std::string& message);

	private:
		output::LineWriter writer_;
		bool json_;
	};

	using output::roundedNumber;
	using output::shortNumber;
} // namespace quarnlive::multiengine
