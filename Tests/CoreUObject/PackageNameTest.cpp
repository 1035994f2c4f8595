#include "Misc/PackageName.h"
#include "Misc/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

/** Points the project and the plug-in at known folders and puts them back afterwards. */
class PackageFilenames : public ::testing::Test
{
protected:
	void SetUp() override
	{
		PreviousProjectDir = FPaths::ProjectDir();
		PreviousPluginDir = FPaths::PluginDir();
		FPaths::SetProjectDir(TEXT("/studio/Project"));
		// The plug-in's descriptor names its content root.
		PluginDir = std::filesystem::temp_directory_path() / ("quarn-package-plugin-" + std::to_string(::getpid()));
		std::filesystem::create_directories(PluginDir);
		std::ofstream(PluginDir / "Pranto.uplugin") << "{}\n";
		FPaths::SetPluginDir(FString(PluginDir.string() + "/"));
	}

	void TearDown() override
	{
		FPaths::SetProjectDir(PreviousProjectDir);
		FPaths::SetPluginDir(PreviousPluginDir);
		std::filesystem::remove_all(PluginDir);
	}

	std::string PluginContent(const std::string& Rest) const { return PluginDir.string() + "/Content/" + Rest; }

	static FString Convert(const TCHAR* Name, const TCHAR* Extension = TEXT(""))
	{
		FString Filename = TEXT("untouched");
		return FPackageName::TryConvertLongPackageNameToFilename(Name, Filename, Extension) ? Filename : TEXT("<failed: ") + Filename + TEXT(">");
	}

	FString PreviousProjectDir;
	FString PreviousPluginDir;
	std::filesystem::path PluginDir;
};

TEST_F(PackageFilenames, GameRootIsTheProjectsContentFolder)
{
	EXPECT_EQ(Convert(TEXT("/Game/Quarn/Media/Clip"), TEXT(".uasset")).ToStdString(), "/studio/Project/Content/Quarn/Media/Clip.uasset");
	EXPECT_EQ(Convert(TEXT("/Game/Quarn/")).ToStdString(), "/studio/Project/Content/Quarn/");
}

TEST_F(PackageFilenames, PluginRootIsNamedByItsDescriptorAndIsItsContentFolder)
{
	EXPECT_EQ(Convert(TEXT("/Pranto/live/Target"), TEXT(".uasset")).ToStdString(), PluginContent("live/Target.uasset"));
	EXPECT_EQ(Convert(TEXT("/QuarnPranto/live/Target")).ToStdString(), "<failed: untouched>") << "no root is named by the engine";
}

TEST_F(PackageFilenames, APluginFolderWithoutADescriptorMountsNothing)
{
	std::filesystem::remove(PluginDir / "Pranto.uplugin");
	EXPECT_EQ(Convert(TEXT("/Pranto/live/Target")).ToStdString(), "<failed: untouched>");
}

TEST_F(PackageFilenames, RootMatchesIgnoringCaseAndTheRestKeepsItsCase)
{
	EXPECT_EQ(Convert(TEXT("/game/Quarn/Clip")).ToStdString(), "/studio/Project/Content/Quarn/Clip");
	EXPECT_EQ(Convert(TEXT("/PRANTO/Live/Target")).ToStdString(), PluginContent("Live/Target"));
}

TEST_F(PackageFilenames, NameOutsideEveryRootFailsAndLeavesTheFilename)
{
	EXPECT_EQ(Convert(TEXT("/Engine/Quarn/Clip")).ToStdString(), "<failed: untouched>");
	EXPECT_EQ(Convert(TEXT("Game/Quarn/Clip")).ToStdString(), "<failed: untouched>");
	EXPECT_EQ(Convert(TEXT("/GameContent/Clip")).ToStdString(), "<failed: untouched>") << "a root is a whole folder name";
}

TEST_F(PackageFilenames, FollowsFoldersMovedAtRunTime)
{
	FPaths::SetProjectDir(TEXT("/elsewhere"));
	EXPECT_EQ(Convert(TEXT("/Game/Clip")).ToStdString(), "/elsewhere/Content/Clip");
}
