// Files and lists as the configuration tests write, read and compare them.

#pragma once

#include "Containers/UnrealString.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace ConfigTestFiles
{
	inline void WriteText(const std::filesystem::path& Path, const std::string& Text)
	{
		std::filesystem::create_directories(Path.parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	inline std::string ReadText(const std::filesystem::path& Path)
	{
		std::ifstream Stream(Path, std::ios::binary);
		std::stringstream Buffer;
		Buffer << Stream.rdbuf();
		return Buffer.str();
	}

	// The parts in order with commas between, to compare a whole list in one expectation.
	inline std::string JoinedWithCommas(const TArray<FString>& Parts)
	{
		std::string Joined;
		for (int32 Index = 0; Index < Parts.Num(); ++Index)
		{
			Joined += (Index > 0 ? "," : "") + Parts[Index].ToStdString();
		}
		return Joined;
	}

	/** A fresh folder per test in Dir, removed afterwards even where a test took permissions away. */
	class FConfigFolderTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Dir = MakeTestFolder(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()); }
		void TearDown() override
		{
			std::error_code Error;
			for (const std::filesystem::directory_entry& Entry : std::filesystem::recursive_directory_iterator(Dir, Error))
			{
				std::filesystem::permissions(Entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, Error);
			}
			std::filesystem::remove_all(Dir, Error);
		}

		std::filesystem::path Dir;
	};
}
