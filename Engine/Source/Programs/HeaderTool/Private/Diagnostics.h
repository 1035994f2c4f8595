#pragma once

#include <stdexcept>
#include <string>

namespace HeaderTool
{
	// Thrown at the first problem in a header; Main reports it as "path:line: error: message".
	class ParseError : public std::runtime_error
	{
	public:
		ParseError(int line, const std::string& message)
			: std::runtime_error(message)
			, line(line)
		{
		}

		int line;
	};
}
