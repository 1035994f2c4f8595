#pragma once

// One fixture resets all global engine state between tests: a fresh temporary project
// folder, the object system and configuration up, and everything torn down afterwards.

#include "CoreMinimal.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "TestFolder.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <string>

class FObjectSystemTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ProjectDir = MakeTestFolder("quarn-test");
		FPaths::SetProjectDir(FString(ProjectDir.string()));
		InitUObject();
		FConfigCacheIni::InitializeConfigSystem();
	}

	void TearDown() override
	{
		ShutdownUObject();
		FConfigCacheIni::TearDownConfigSystem();
		std::filesystem::remove_all(ProjectDir);
	}

	std::filesystem::path ProjectDir;
};
