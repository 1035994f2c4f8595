#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>

namespace quarnlive::json
{
	/**
	 * Reads and parses a JSON file. An unreadable file or a syntax error throws an
	 * InputError that names the file and, for syntax errors, line:column.
	 */
	nlohmann::ordered_json readFile(const std::filesystem::path& file);
} // namespace quarnlive::json
