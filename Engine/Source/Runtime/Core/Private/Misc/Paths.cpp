#include "Misc/Paths.h"

#include <filesystem>

namespace
{
	FString& ProjectDirectory()
	{
		static FString Directory(TEXT("./"));
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
