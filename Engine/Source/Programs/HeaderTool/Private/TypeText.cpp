#include "TypeText.h"

#include "Diagnostics.h"

#include <cctype>

namespace HeaderTool
{
	namespace
	{
		bool isWordLike(const Token& token)
		{
			return token.kind == TokenKind::Identifier || token.kind == TokenKind::Number;
		}
	}

	std::string joinTokens(const std::vector<Token>& tokens, size_t begin, size_t end)
	{
		std::string text;
		for (size_t i = begin; i < end; ++i)
		{
			const Token& token = tokens[i];
			if (i > begin)
			{
				const Token& previous = tokens[i - 1];
				const bool wordAfterWord = isWordLike(previous) && isWordLike(token);
				const bool wordAfterDeclarator = isWordLike(token) && (previous.is("*") || previous.is("&") || previous.is(">"));
				if (wordAfterWord || wordAfterDeclarator || previous.is(","))
				{
					text += ' ';
				}
			}
			if (token.kind == TokenKind::String)
			{
				text += '"' + token.text + '"';
			}
			else if (token.kind == TokenKind::Char)
			{
				text += '\'' + token.text + '\'';
			}
			else
			{
				text += token.text;
			}
		}
		return text;
	}

	DecayedType decayType(const std::vector<Token>& tokens, size_t begin, size_t end, int line)
	{
		DecayedType result;
		result.written = joinTokens(tokens, begin, end);
		if (begin >= end)
		{
			throw ParseError(line, "missing type");
		}
		if (tokens[end - 1].is("&&"))
		{
			throw ParseError(line, "rvalue reference parameters are not supported: '" + result.written + "'");
		}
		if (tokens[end - 1].is("&"))
		{
			result.bReference = true;
			--end;
		}
		if (end > begin && tokens[end - 1].is("const"))
		{
			result.bConst = true;
			--end;
		}
		else if (end > begin && tokens[begin].is("const"))
		{
			bool bPointer = false;
			int depth = 0;
			for (size_t i = begin + 1; i < end; ++i)
			{
				if (tokens[i].is("<"))
				{
					++depth;
				}
				else if (tokens[i].is(">"))
				{
					--depth;
				}
				else if (depth == 0 && tokens[i].is("*"))
				{
					bPointer = true;
				}
			}
			if (!bPointer)
			{
				result.bConst = true;
				++begin;
			}
		}
		if (begin >= end)
		{
			throw ParseError(line, "missing type in '" + result.written + "'");
		}
		result.storage = joinTokens(tokens, begin, end);
		return result;
	}

	bool equalsIgnoreCase(const std::string& a, const std::string& b)
	{
		if (a.size() != b.size())
		{
			return false;
		}
		for (size_t i = 0; i < a.size(); ++i)
		{
			if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
			{
				return false;
			}
		}
		return true;
	}

	std::string toLower(std::string text)
	{
		for (char& c : text)
		{
			c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
		}
		return text;
	}
}
