#pragma once

#include "Run/RunCommand.h"

#include <cstdio>
#include <filesystem>

namespace quarnlive::compose
{
	struct ComposeOptions
	{
		run::RunOptions run;
		std::filesystem::path out;
	};

	/**
	 * `quarnlive compose`: runs the scenario as `run` does, then writes the UMG context's render
	 * target and every tagged camera's composited picture into out as PNG files.
	 */
	void composeScenario(const ComposeOptions& options, std::FILE* out, std::FILE* err);
} // namespace quarnlive::compose
