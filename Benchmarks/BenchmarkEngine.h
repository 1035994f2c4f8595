#pragma once

// Boot options for the benchmarks that run the plug-in in the headless engine.

#include "HeadlessEngineLoop.h"

#include <filesystem>
#include <string>

/** Which of the plug-in's modules a benchmark loads, in the descriptor's order. */
enum class EBenchmarkModules
{
	/** What the status subsystem asks: virtual production, its editor, the media editor, QuarnLive. */
	Status,
	/** The same with the tracking and lens modules. */
	WithTrackingAndLens,
};

/** Options over a project folder of that name in the temporary folder, which is made if missing. */
inline FHeadlessEngineOptions BenchmarkEngineOptions(const std::string& ProjectName, EBenchmarkModules Modules)
{
	const std::filesystem::path Project = std::filesystem::temp_directory_path() / ProjectName;
	std::filesystem::create_directories(Project);
	FHeadlessEngineOptions Options;
	Options.ProjectDir = FString(Project.string());
	if (Modules == EBenchmarkModules::Status)
	{
		Options.Modules = {TEXT("QuarnVirtualProduction"), TEXT("QuarnVirtualProductionEditor"), TEXT("QuarnMediaEditor"), TEXT("QuarnLive")};
	}
	else
	{
		Options.Modules = {TEXT("QuarnVirtualProduction"), TEXT("QuarnLensDistortion"), TEXT("QuarnTracking"), TEXT("QuarnVirtualProductionEditor"),
			TEXT("QuarnMediaEditor"), TEXT("QuarnLive")};
	}
	return Options;
}
