#pragma once

#include "Model.h"

#include <string>

namespace HeaderTool
{
	struct ModuleInfo
	{
		std::string name; // "Sample"
		std::string package; // "/Script/Sample"
	};

	// Text of <Stem>.generated.h: the GENERATED_BODY macros and declarations other code needs early.
	std::string writeGeneratedHeader(const HeaderDef& header, const ModuleInfo& module);

	// Text of <Stem>.gen.cpp: descriptor construction, thunks, event definitions, registration.
	std::string writeGeneratedSource(const HeaderDef& header, const ModuleInfo& module);

	// "a\"b" -> TEXT("a\"b") with every character a C++ string literal cannot hold escaped.
	std::string textLiteral(const std::string& value);
}
