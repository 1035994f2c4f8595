#pragma once

#include "Model.h"
#include "Tokenizer.h"

#include <string>
#include <vector>

namespace HeaderTool
{
	// One item of a macro's argument list: Key, Key=Value, Key=(A, B) or meta=(...).
	struct Specifier
	{
		std::string key;
		std::vector<std::string> values; // several for Key=(A, B)
		bool bHasValue = false;
		std::vector<Specifier> meta; // contents of meta=(...)
		int line = 0;
	};

	// Reads "( ... )" starting at tokens[pos]; pos ends after the closing parenthesis.
	std::vector<Specifier> parseSpecifiers(const std::vector<Token>& tokens, size_t& pos, const std::string& macro, int macroLine);

	void applyClassSpecifiers(const std::vector<Specifier>& specifiers, ClassDef& def);
	void applyStructSpecifiers(const std::vector<Specifier>& specifiers, StructDef& def);
	void applyEnumSpecifiers(const std::vector<Specifier>& specifiers, EnumDef& def);
	void applyEnumeratorSpecifiers(const std::vector<Specifier>& specifiers, EnumeratorDef& def);
	void applyPropertySpecifiers(const std::vector<Specifier>& specifiers, PropertyDef& def);
	void applyFunctionSpecifiers(const std::vector<Specifier>& specifiers, FunctionDef& def);
	// UPARAM; returns true when it asked for pass-by-reference semantics ("ref").
	bool applyParamSpecifiers(const std::vector<Specifier>& specifiers, ParamDef& def);
}
