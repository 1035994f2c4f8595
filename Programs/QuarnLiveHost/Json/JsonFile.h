#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <filesystem>
#include <string>

namespace quarnlive::json
{
	/**
	 * How deep objects and arrays may nest, the outermost value counting as the first level.
	 * Checked while parsing, so nothing that walks a document later can run out of stack.
	 */
	inline constexpr std::size_t maxDepth = 64;

	/**
	 * Parses a JSON text. A syntax error, a number beyond the range of a double or nesting
	 * deeper than maxDepth throws an InputError whose place is line:column (and no file).
	 */
	nlohmann::ordered_json parseDocument(const std::string& text);

	/**
	 * Reads and parses a JSON file. An unreadable file or a parse error throws an
	 * InputError that names the file and, for parse errors, line:column.
	 */
	nlohmann::ordered_json readFile(const std::filesystem::path& file);
} // namespace quarnlive::json
