#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::run
{
	struct RunOptions
	{
		/** Default: the repository's Examples/DefaultScenario.json. */
		std::optional<std::filesystem::path> scenario;
		bool json = false;
		/** Paced by the wall clock instead of simulated fixed steps. */
		bool realtime = false;
		/** Engine seconds to stop at; default from the scenario. */
		std::optional<double> until;
		std::optional<std::filesystem::path> project;
		/** trace lines: the calls the plug-in's modules make and the delegates they bind. */
		bool trace = false;
		/** "CATEGORY=LEVEL" each, applied before the engine boots. */
		std::vector<std::string> logVerbosity;
	};

	/**
	 * `quarnlive run`: boots the headless engine with the plug-in's modules, plays the
	 * scenario and reports to out. Throws InputError for a bad scenario and RuntimeFailure
	 * when the engine cannot run it. atEnd runs after the last frame, with the engine still up.
	 */
	void runScenario(const RunOptions& options, std::FILE* out, std::FILE* err, const std::function<void()>& atEnd = {});
} // namespace quarnlive::run
