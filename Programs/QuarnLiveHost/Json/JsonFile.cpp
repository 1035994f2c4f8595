#include "Json/JsonFile.h"

#include "Errors.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>

namespace quarnlive::json
{
	namespace
	{
		// Offsets are 1-based and point just past the byte meant, as the parser counts them.
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
		std::string syntaxProblem(const std::string& message)
		{
			const std::size_t colon = message.find(": ");
			return colon == std::string::npos ? message : message.substr(colon + 2);
		}

		// The offset just past the count-th '{' or '[' outside strings. Only asked about text
		// the parser has already accepted, so strings and escapes are well formed.
		std::size_t offsetOfOpening(const std::string& text, std::size_t count)
		{
			bool inString = false;
			for (std::size_t index = 0; index < text.size(); ++index)
			{
				const char c = text[index];
				if (inString)
				{
					if (c == '\\')
					{
						++index;
					}
					else if (c == '"')
					{
						inString = false;
					}
				}
				else if (c == '"')
				{
					inString = true;
				}
				else if ((c == '{' || c == '[') && --count == 0)
				{
					return index + 1;
				}
			}
			return text.size();
		}

		struct ParseFailure
		{
			std::size_t byteOffset = 0;
			std::string problem;
		};

		/**
		 * nlohmann's own document builder, stopped at the first object or array deeper than
		 * maxDepth; the parser itself keeps its nesting on the heap. Keeps the first error.
		 */
		class DepthLimitedBuilder : public nlohmann::detail::json_sax_dom_parser<nlohmann::ordered_json>
		{
			using Base = nlohmann::detail::json_sax_dom_parser<nlohmann::ordered_json>;

		public:
			explicit DepthLimitedBuilder(nlohmann::ordered_json& root)
				: Base(root, false)
			{
			}

			bool start_object(std::size_t elements) { return enter() && Base::start_object(elements); }
			bool start_array(std::size_t elements) { return enter() && Base::start_array(elements); }
			bool end_object()
			{
				--depth_;
				return Base::end_object();
			}
			bool end_array()
			{
				--depth_;
				return Base::end_array();
			}

			template <class Exception>
			bool parse_error(std::size_t position, const std::string& lastToken, const Exception& error)
			{
				if constexpr (std::is_same_v<Exception, nlohmann::detail::out_of_range>)
				{
					// A number the lexer read but a double cannot hold; point at its first digit.
					failure_ = ParseFailure{position - lastToken.size() + 1,
						"number " + lastToken + " is out of range: numbers must fit a double (magnitude below 1.8e308)"};
				}
				else
				{
					failure_ = ParseFailure{position, "invalid JSON: " + syntaxProblem(error.what())};
				}
				return false;
			}

			/** Why parsing stopped; only meaningful once it has. */
			ParseFailure failure(const std::string& text) const
			{
				if (failure_)
				{
					return *failure_;
				}
				return ParseFailure{offsetOfOpening(text, openings_),
					"nested too deeply: objects and arrays may nest at most " + std::to_string(maxDepth) + " levels"};
			}

		private:
			bool enter()
			{
				++openings_;
				return ++depth_ <= maxDepth;
			}

			std::size_t depth_ = 0;
			std::size_t openings_ = 0;
			std::optional<ParseFailure> failure_;
		};
	} // namespace

	nlohmann::ordered_json parseDocument(const std::string& text)
	{
		nlohmann::ordered_json document;
		DepthLimitedBuilder builder(document);
		if (!nlohmann::ordered_json::sax_parse(text, &builder))
		{
			const ParseFailure failure = builder.failure(text);
			throw InputError(lineColumn(text, failure.byteOffset), failure.problem);
		}
		return document;
	}

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
			return parseDocument(text);
		}
		catch (InputError& error)
		{
			error.setFile(file.string());
			throw;
		}
	}
} // namespace quarnlive::json
