// Files and lists as the configuration tests write, read and compare them.

#pragma once

#include "Containers/UnrealString.h"

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
}
