#pragma once

#include "Tokenizer.h"

#include <string>
#include <vector>

namespace HeaderTool
{
	// Joins tokens into C++ text with single spaces only where the grammar needs them.
	std::string joinTokens(const std::vector<Token>& tokens, size_t begin, size_t end);

	struct DecayedType
	{
		std::string written; // the type as declared
		std::string storage; // without reference and top-level const
		bool bReference = false;
		bool bConst = false; // the referenced (or passed) object is const
	};

	// Splits "const FFoo&", "UObject* const", "TArray<int32>&" and the like.
	DecayedType decayType(const std::vector<Token>& tokens, size_t begin, size_t end, int line);

	bool equalsIgnoreCase(const std::string& a, const std::string& b);
	std::string toLower(std::string text);
}
