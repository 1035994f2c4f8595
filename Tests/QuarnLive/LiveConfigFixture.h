#pragma once

// An engine over a fresh project folder with an empty Config/, booted by the test itself so
// that it can write configuration files first; shut down and removed afterwards.

#include "HeadlessEngineLoop.h"
#include "ProcessLoopback.h"
#include "QuarnLiveSettings.h"
#include "TestFolder.h"
#include "UObject/Class.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class FLiveConfigTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ProjectDir = MakeTestFolder("quarn-live-config");
		std::filesystem::create_directories(ProjectDir / "Config");
	}

	void TearDown() override
	{
		UQuarnLiveSettings::StaticClass()->SetDefaultObjectSuppressed(false);
		FHeadlessEngineLoop::Shutdown();
		std::filesystem::remove_all(ProjectDir);
	}

	/** Boots with Options over this test's project. */
	void Boot(FHeadlessEngineOptions Options)
	{
		BindServerToProcessLoopback();
		Options.ProjectDir = FString(ProjectDir.string() + "/");
		FHeadlessEngineLoop::Boot(Options);
	}

	std::filesystem::path DefaultGameIni() const { return ProjectDir / "Config" / "DefaultGame.ini"; }
	/** A file of the per-user layer. */
	std::filesystem::path SavedIni(const char* Name) const { return ProjectDir / "Saved" / "Config" / Name; }

	static std::string Read(const std::filesystem::path& File)
	{
		std::ifstream Stream(File);
		std::stringstream Text;
		Text << Stream.rdbuf();
		return Text.str();
	}

	static void Write(const std::filesystem::path& File, const std::string& Text)
	{
		std::filesystem::create_directories(File.parent_path());
		std::ofstream(File) << Text;
	}

	std::filesystem::path ProjectDir;
};
