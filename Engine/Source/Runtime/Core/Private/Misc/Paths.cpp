#include "Misc/Paths.h"

#include <filesystem>

namespace
{
	FString& ProjectDirectory()
	{
		static FString Directory(TEXT("./"));
		return Directory;
	}
	FString& EngineDirectory()
	{
		static FString Directory;
		return Directory;
	}
	FString& PluginDirectory()
	{
		static FString Directory(TEXT("./"));
		return Directory;
	}
	FString WithSlash(const FString& Directory)
	{
		return Directory.EndsWith(TEXT("/")) ? Directory : Directory + TEXT("/");
	}
} // namespace

void FPaths::SetProjectDir(const FString& Directory) { ProjectDirectory() = WithSlash(Directory); }
FString FPaths::ProjectDir() { return ProjectDirectory(); }
void FPaths::SetEngineDir(const FString& Directory) { EngineDirectory() = Directory.IsEmpty() ? FString() : WithSlash(Directory); }
FString FPaths::EngineDir() { return EngineDirectory(); }
void FPaths::SetPluginDir(const FString& Directory) { PluginDirectory() = WithSlash(Directory); }
FString FPaths::PluginDir() { return PluginDirectory(); }

FString FPaths::Combine(const FString& A, const FString& B)
{
	if (A.IsEmpty())
	{
		return B;
	}
	if (B.IsEmpty())
	{
		return A;
	}
	return WithSlash(A) + (B.StartsWith(TEXT("/")) ? B.Mid(1) : B);
}

bool FPaths::FileExists(const FString& Path)
{
	std::error_code Error;
	return std::filesystem::is_regular_file(*Path, Error);
}

bool FPaths::DirectoryExists(const FString& Path)
{
	std::error_code Error;
	return std::filesystem::is_directory(*Path, Error);
}

FString FPaths::GetCleanFilename(const FString& Path)
{
	return FString(std::filesystem::path(*Path).filename().string());
}

FString FPaths::GetBaseFilename(const FString& Path)
{
	return FString(std::filesystem::path(*Path).stem().string());
}

FString FPaths::GetPath(const FString& Path)
{
	return FString(std::filesystem::path(*Path).parent_path().string());
}

FString FPaths::GetExtension(const FString& Path)
{
	const std::string Extension = std::filesystem::path(*Path).extension().string();
	return FString(Extension.empty() ? Extension : Extension.substr(1));
}
