#pragma once

// A fresh folder for the running test, so that no test sees another's files, not even one of
// the same name in a parallel process.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

/** Creates <temp>/<Prefix>-<pid>-<test name>, empty; the caller removes it in TearDown. */
inline std::filesystem::path MakeTestFolder(const std::string& Prefix)
{
	const std::filesystem::path Folder = std::filesystem::temp_directory_path()
		/ (Prefix + "-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
	std::filesystem::remove_all(Folder);
	std::filesystem::create_directories(Folder);
	return Folder;
}
