#pragma once

#include "Model.h"

#include <string>

namespace HeaderTool
{
	// Reads one header's reflection annotations. Throws ParseError on the first problem.
	HeaderDef parseHeader(const std::string& path, const std::string& source);
}
