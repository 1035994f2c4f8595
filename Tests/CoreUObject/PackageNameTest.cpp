#include "Misc/PackageName.h"
#include "Misc/Paths.h"

#include <gtest/gtest.h>

/** Points the project and the plug-in at known folders and puts them back afterwards. */
class PackageFilenames : public ::testing::Test
{
protected:
	void SetUp() override
	{
		PreviousProjectDir = FPaths::ProjectDir();
		PreviousPluginDir = FPaths::PluginDir();
		FPaths::SetProjectDir(TEXT("/studio/Project"));
		FPaths::SetPluginDir(TEXT("/studio/Plugins/Pranto"));
	}

	void TearDown() override
	{
		FPaths::SetProjectDir(PreviousProjectDir);
		FPaths::SetPluginDir(PreviousPluginDir);
	}

	static FString Convert(const TCHAR* Name, const TCHAR* Extension = TEXT(""))
	{
		FString Filename = TEXT("untouched");
		return FPackageName::TryConvertLongPackageNameToFilename(Name, Filename, Extension) ? Filename : TEXT("<failed: ") + Filename + TEXT(">");
	}

	FString PreviousProjectDir;
	FString PreviousPluginDir;
};

TEST_F(PackageFilenames, GameRootIsTheProjectsContentFolder)
{
	EXPECT_EQ(Convert(TEXT("/Game/Quarn/Media/Clip"), TEXT(".uasset")).ToStdString(), "/studio/Project/Content/Quarn/Media/Clip.uasset");
	EXPECT_EQ(Convert(TEXT("/Game/Quarn/")).ToStdString(), "/studio/Project/Content/Quarn/");
}

TEST_F(PackageFilenames, PluginRootIsThePluginsContentFolder)
{
	EXPECT_EQ(Convert(TEXT("/QuarnPranto/live/Target"), TEXT(".uasset")).ToStdString(), "/studio/Plugins/Pranto/Content/live/Target.uasset");
}

TEST_F(PackageFilenames, RootMatchesIgnoringCaseAndTheRestKeepsItsCase)
{
	EXPECT_EQ(Convert(TEXT("/game/Quarn/Clip")).ToStdString(), "/studio/Project/Content/Quarn/Clip");
	EXPECT_EQ(Convert(TEXT("/QUARNPRANTO/Live/Target")).ToStdString(), "/studio/Plugins/Pranto/Content/Live/Target");
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
