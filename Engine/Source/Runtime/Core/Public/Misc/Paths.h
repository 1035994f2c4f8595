#pragma once

#include "Containers/UnrealString.h"

/** Where the project's files live; the host sets the project folder before the engine starts. */
class CORE_API FPaths
{
public:
	static void SetProjectDir(const FString& Directory);
	/** The project folder, ending in '/'. */
	static FString ProjectDir();
	static FString ProjectContentDir() { return ProjectDir() + TEXT("Content/"); }

	static void SetPluginDir(const FString& Directory);
	/** The plug-in's root folder, ending in '/'. */
	static FString PluginDir();

	static FString Combine(const FString& A, const FString& B);
	static bool FileExists(const FString& Path);
};
