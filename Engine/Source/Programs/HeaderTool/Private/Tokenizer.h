#pragma once

#include <string>
#include <vector>

namespace HeaderTool
{
	enum class TokenKind
	{
		Identifier,
		Number,
		String, // text holds the decoded contents, without quotes
		Char,
		Symbol, // one punctuator; '>' is never merged so nested templates close one by one
		End,
	};

	struct Token
	{
		TokenKind kind = TokenKind::End;
		std::string text;
		int line = 0;
		// Text of a "/** */" comment that directly precedes this token, already cleaned.
		std::string doc;
		bool hasDoc = false;

		bool is(const char* symbolOrWord) const { return kind != TokenKind::String && kind != TokenKind::Char && text == symbolOrWord; }
		bool isIdentifier() const { return kind == TokenKind::Identifier; }
	};

	struct IncludeDirective
	{
		std::string path;
		int line = 0;
	};

	struct TokenizedFile
	{
		std::vector<Token> tokens; // always ends with an End token
		std::vector<IncludeDirective> includes;
	};

	// Splits C++ source into tokens, dropping comments and preprocessor lines but keeping
	// #include targets and doc comments.
	TokenizedFile tokenize(const std::string& source);

	// Turns the raw text of a "/** ... */" comment into tooltip text.
	std::string cleanDocComment(const std::string& rawComment);
}
