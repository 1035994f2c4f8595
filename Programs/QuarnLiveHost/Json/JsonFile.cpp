#include "Json/JsonFile.h"

#include "Errors.h"

#include <fstream>
#include <iterator>
#include <string>

namespace quarnlive::json
{
	namespace
	{
		// The parser reports a byte offset (1-based, just past the offending byte).
		std::string lineColumn(const std::string& text, std::size_t byteOffset)
		{
			const std::size_t end = std::min(byteOffset > 0 ? byteOffset - 1 : 0, text.size());
			std::size_t line = 1;
			std::size_t column = 1;
			for (std::size_t index = 0; index < end; ++index)
			{
				if (text[index] == '\n')
				{
					++line;
					column = 1;
				}
				else
				{
					++column;
				}
			}
			return std::to_string(line) + ":" + std::to_string(column);
		}

		// nlohmann's message is "[json.exception.parse_error.101] parse error at line 1, column 2: what";
		// only the "what" is worth repeating, the place is given separately.
		std::string syntaxProblem(const nlohmann::ordered_json::parse_error& error)
		{
			const std::string message = error.what();
			const std::size_t colon = message.find(": ");
			return colon == std::string::npos ? message : message.substr(colon + 2);
		}
	} // namespace

	nlohmann::ordered_json readFile(const std::filesystem::path& file)
	{
		std::error_code errorCode;
		if (std::filesystem::is_directory(file, errorCode))
		{
			InputError error("", "is a directory, not a scenario file");
			error.setFile(file.string());
			throw error;
		}
		std::ifstream stream(file, std::ios::binary);
		if (!stream)
		{
			InputError error("", std::filesystem::exists(file, errorCode) ? "cannot be read" : "no such file");
			error.setFile(file.string());
			throw error;
		}
		const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
		try
		{
			return nlohmann::ordered_json::parse(text);
		}
		catch (const nlohmann::ordered_json::parse_error& parseError)
		{
			InputError error(lineColumn(text, parseError.byte), "invalid JSON: " + syntaxProblem(parseError));
			error.setFile(file.string());
			throw error;
		}
	}
} // namespace quarnlive::json
