#include "Tokenizer.h"

#include "Diagnostics.h"

#include <cctype>

namespace HeaderTool
{
	namespace
	{
		bool isIdentStart(char c)
		{
			return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
		}

		bool isIdentChar(char c)
		{
			return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
		}

		std::string trim(const std::string& text)
		{
			const size_t first = text.find_first_not_of(" \t\r\f\v");
			if (first == std::string::npos)
			{
				return {};
			}
			const size_t last = text.find_last_not_of(" \t\r\f\v");
			return text.substr(first, last - first + 1);
		}

		class Lexer
		{
		public:
			explicit Lexer(const std::string& source)
				: src(source)
			{
			}

			TokenizedFile run()
			{
				if (src.compare(0, 3, "\xEF\xBB\xBF") == 0)
				{
					pos = 3;
				}
				while (pos < src.size())
				{
					const char c = src[pos];
					if (c == '\n')
					{
						++line;
						++pos;
						atLineStart = true;
						continue;
					}
					if (std::isspace(static_cast<unsigned char>(c)))
					{
						++pos;
						continue;
					}
					if (c == '\\' && pos + 1 < src.size() && (src[pos + 1] == '\n' || src[pos + 1] == '\r'))
					{
						++pos; // line splice outside a directive: the newline is counted by the loop
						continue;
					}
					if (c == '/' && peek(1) == '/')
					{
						skipLineComment();
						continue;
					}
					if (c == '/' && peek(1) == '*')
					{
						readBlockComment(true);
						continue;
					}
					if (c == '#' && atLineStart)
					{
						readDirective();
						continue;
					}
					atLineStart = false;
					readToken();
				}
				Token end;
				end.kind = TokenKind::End;
				end.line = line;
				result.tokens.push_back(end);
				return std::move(result);
			}

		private:
			char peek(size_t offset) const
			{
				return pos + offset < src.size() ? src[pos + offset] : '\0';
			}

			void skipLineComment()
			{
				while (pos < src.size() && src[pos] != '\n')
				{
					if (src[pos] == '\\' && peek(1) == '\n')
					{
						++line;
						pos += 2;
						continue;
					}
					++pos;
				}
			}

			void readBlockComment(bool keepDoc)
			{
				const int startLine = line;
				const size_t start = pos;
				pos += 2;
				while (pos < src.size() && !(src[pos] == '*' && peek(1) == '/'))
				{
					if (src[pos] == '\n')
					{
						++line;
					}
					++pos;
				}
				if (pos >= src.size())
				{
					throw ParseError(startLine, "unterminated comment");
				}
				pos += 2;
				const std::string raw = src.substr(start, pos - start);
				if (keepDoc && raw.size() > 4 && raw.compare(0, 3, "/**") == 0)
				{
					pendingDoc = cleanDocComment(raw);
					hasPendingDoc = true;
				}
			}

			void readDirective()
			{
				const int directiveLine = line;
				std::string text;
				while (pos < src.size() && src[pos] != '\n')
				{
					const char c = src[pos];
					if (c == '\\' && (peek(1) == '\n' || (peek(1) == '\r' && peek(2) == '\n')))
					{
						pos += peek(1) == '\r' ? 3 : 2;
						++line;
						text += ' ';
						continue;
					}
					if (c == '/' && peek(1) == '/')
					{
						skipLineComment();
						break;
					}
					if (c == '/' && peek(1) == '*')
					{
						readBlockComment(false);
						text += ' ';
						continue;
					}
					text += c;
					++pos;
				}
				hasPendingDoc = false;
				pendingDoc.clear();

				// "#  include "x"" and "#include <x>"
				size_t i = 1;
				while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
				{
					++i;
				}
				if (text.compare(i, 7, "include") != 0)
				{
					return;
				}
				i += 7;
				while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
				{
					++i;
				}
				if (i >= text.size() || (text[i] != '"' && text[i] != '<'))
				{
					return;
				}
				const char close = text[i] == '"' ? '"' : '>';
				const size_t end = text.find(close, i + 1);
				if (end == std::string::npos)
				{
					throw ParseError(directiveLine, "malformed #include");
				}
				result.includes.push_back({text.substr(i + 1, end - i - 1), directiveLine});
			}

			void push(TokenKind kind, std::string text, int tokenLine)
			{
				Token token;
				token.kind = kind;
				token.text = std::move(text);
				token.line = tokenLine;
				if (hasPendingDoc)
				{
					token.doc = std::move(pendingDoc);
					token.hasDoc = true;
					pendingDoc.clear();
					hasPendingDoc = false;
				}
				result.tokens.push_back(std::move(token));
			}

			void readQuoted(char quote, bool decode)
			{
				const int startLine = line;
				++pos;
				std::string value;
				while (true)
				{
					if (pos >= src.size() || src[pos] == '\n')
					{
						throw ParseError(startLine, quote == '"' ? "unterminated string literal" : "unterminated character literal");
					}
					const char c = src[pos];
					if (c == quote)
					{
						++pos;
						break;
					}
					if (c == '\\' && pos + 1 < src.size())
					{
						const char next = src[pos + 1];
						pos += 2;
						if (!decode)
						{
							value += '\\';
							value += next;
							continue;
						}
						switch (next)
						{
						case 'n':
							value += '\n';
							break;
						case 't':
							value += '\t';
							break;
						case 'r':
							value += '\r';
							break;
						case '\\':
							value += '\\';
							break;
						case '"':
							value += '"';
							break;
						case '\'':
							value += '\'';
							break;
						case '\n':
							++line;
							break;
						default:
							value += '\\';
							value += next;
							break;
						}
						continue;
					}
					value += c;
					++pos;
				}
				push(quote == '"' ? TokenKind::String : TokenKind::Char, std::move(value), startLine);
			}

			void readRawString()
			{
				const int startLine = line;
				++pos; // opening quote
				const size_t open = src.find('(', pos);
				if (open == std::string::npos)
				{
					throw ParseError(startLine, "malformed raw string literal");
				}
				const std::string delimiter = ")" + src.substr(pos, open - pos) + "\"";
				const size_t close = src.find(delimiter, open + 1);
				if (close == std::string::npos)
				{
					throw ParseError(startLine, "unterminated raw string literal");
				}
				std::string value = src.substr(open + 1, close - open - 1);
				for (char c : src.substr(pos, close + delimiter.size() - pos))
				{
					if (c == '\n')
					{
						++line;
					}
				}
				pos = close + delimiter.size();
				push(TokenKind::String, std::move(value), startLine);
			}

			void readToken()
			{
				const char c = src[pos];
				if (isIdentStart(c))
				{
					const size_t start = pos;
					while (pos < src.size() && isIdentChar(src[pos]))
					{
						++pos;
					}
					std::string word = src.substr(start, pos - start);
					const char next = peek(0);
					const bool stringPrefix = word == "L" || word == "u" || word == "U" || word == "u8";
					const bool rawPrefix = word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
					if (next == '"' && rawPrefix)
					{
						readRawString();
						return;
					}
					if ((next == '"' || next == '\'') && stringPrefix)
					{
						readQuoted(next, next == '"');
						return;
					}
					push(TokenKind::Identifier, std::move(word), line);
					return;
				}
				if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && std::isdigit(static_cast<unsigned char>(peek(1)))))
				{
					const size_t start = pos;
					while (pos < src.size())
					{
						const char d = src[pos];
						if ((d == '+' || d == '-') && pos > start && (src[pos - 1] == 'e' || src[pos - 1] == 'E' || src[pos - 1] == 'p' || src[pos - 1] == 'P'))
						{
							++pos;
							continue;
						}
						if (!(isIdentChar(d) || d == '.' || d == '\''))
						{
							break;
						}
						++pos;
					}
					push(TokenKind::Number, src.substr(start, pos - start), line);
					return;
				}
				if (c == '"' || c == '\'')
				{
					readQuoted(c, c == '"');
					return;
				}
				static const char* const multi[] = {"...", "::", "->", "&&", "||", "==", "!=", "<="};
				for (const char* symbol : multi)
				{
					const std::string s(symbol);
					if (src.compare(pos, s.size(), s) == 0)
					{
						pos += s.size();
						push(TokenKind::Symbol, s, line);
						return;
					}
				}
				++pos;
				push(TokenKind::Symbol, std::string(1, c), line);
			}

			const std::string& src;
			size_t pos = 0;
			int line = 1;
			bool atLineStart = true;
			std::string pendingDoc;
			bool hasPendingDoc = false;
			TokenizedFile result;
		};
	}

	TokenizedFile tokenize(const std::string& source)
	{
		return Lexer(source).run();
	}

	std::string cleanDocComment(const std::string& rawComment)
	{
		std::string body = rawComment;
		if (body.compare(0, 3, "/**") == 0)
		{
			body.erase(0, 3);
		}
		if (body.size() >= 2 && body.compare(body.size() - 2, 2, "*/") == 0)
		{
			body.erase(body.size() - 2);
		}
		while (!body.empty() && body.back() == '*') // "/** text **/"
		{
			body.pop_back();
		}

		std::vector<std::string> lines;
		size_t start = 0;
		while (start <= body.size())
		{
			size_t end = body.find('\n', start);
			if (end == std::string::npos)
			{
				end = body.size();
			}
			std::string lineText = trim(body.substr(start, end - start));
			if (!lineText.empty() && lineText[0] == '*')
			{
				lineText = trim(lineText.substr(1));
			}
			lines.push_back(lineText);
			start = end + 1;
		}
		while (!lines.empty() && lines.front().empty())
		{
			lines.erase(lines.begin());
		}
		while (!lines.empty() && lines.back().empty())
		{
			lines.pop_back();
		}

		std::string text;
		for (size_t i = 0; i < lines.size(); ++i)
		{
			if (i > 0)
			{
				text += '\n';
			}
			text += lines[i];
		}
		return text;
	}
}
