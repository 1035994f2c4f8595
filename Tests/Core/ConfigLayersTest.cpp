#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "ConfigTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
	using namespace ConfigTestFiles;

	/** A project folder and a plug-in folder with an engine, so reads combine Base, Default and Saved files. */
	class ConfigLayers : public FConfigFolderTest
	{
	protected:
		void SetUp() override
		{
			FConfigFolderTest::SetUp();
			FPaths::SetProjectDir(FString((Dir / "Project").string()));
			// The Base layers live in the plug-in checkout's Engine/Config.
			FPaths::SetPluginDir(FString(Dir.string()));
		}
		void TearDown() override
		{
			FPaths::SetProjectDir(TEXT("./"));
			FPaths::SetPluginDir(TEXT("./"));
			FConfigFolderTest::TearDown();
		}

		void Write(const char* Relative, const std::string& Text) const { WriteText(Dir / Relative, Text); }
		std::string Read(const char* Relative) const { return ReadText(Dir / Relative); }
		FString Saved() const { return FPaths::ProjectDir() + TEXT("Saved/Config/Game.ini"); }
		std::string Joined(const TCHAR* Key)
		{
			TArray<FString> Values;
			Config.GetArray(TEXT("S"), Key, Values, Saved());
			return JoinedWithCommas(Values);
		}

		FConfigCacheIni Config;
	};
} // namespace

TEST_F(ConfigLayers, ASavedReadAppliesBaseThenDefaultThenSaved)
{
	Write("Engine/Config/BaseGame.ini", "[S]\nA=base\nB=base\n");
	Write("Project/Config/DefaultGame.ini", "[S]\nB=default\nC=default\n");
	Write("Project/Saved/Config/Game.ini", "[S]\nC=saved\n");

	FString Value;
	ASSERT_TRUE(Config.GetString(TEXT("S"), TEXT("A"), Value, Saved()));
	EXPECT_EQ(Value.ToStdString(), "base");
	ASSERT_TRUE(Config.GetString(TEXT("S"), TEXT("B"), Value, Saved()));
	EXPECT_EQ(Value.ToStdString(), "default");
	ASSERT_TRUE(Config.GetString(TEXT("S"), TEXT("C"), Value, Saved()));
	EXPECT_EQ(Value.ToStdString(), "saved");
	EXPECT_EQ(JoinedWithCommas(Config.GetKeys(TEXT("S"), Saved())), "A,B,C");
	EXPECT_EQ(Config.GetValueLayer(TEXT("S"), TEXT("B"), Saved()).ToStdString(), (Dir / "Project/Config/DefaultGame.ini").string());
	EXPECT_EQ(Config.GetValueLayer(TEXT("S"), TEXT("C"), Saved()).ToStdString(), (Dir / "Project/Saved/Config/Game.ini").string());
	EXPECT_TRUE(Config.GetValueLayer(TEXT("S"), TEXT("Missing"), Saved()).IsEmpty());
}

TEST_F(ConfigLayers, PlusAddsOnlyWhatIsNotThereDotAlwaysAdds)
{
	Write("Engine/Config/BaseGame.ini", "[S]\n+L=a\n");
	Write("Project/Config/DefaultGame.ini", "[S]\n+L=A\n+L=b\n.L=a\n");
	Write("Project/Saved/Config/Game.ini", "[S]\n-L=B\n+L=c\n");
	EXPECT_EQ(Joined(TEXT("L")), "a,a,c");
}

TEST_F(ConfigLayers, WritingAListOverALowerLayerClearsThatLayersElementsFirst)
{
	Write("Project/Config/DefaultGame.ini", "[S]\n+L=x\n+L=y\n");
	Config.SetArray(TEXT("S"), TEXT("L"), {TEXT("z"), TEXT("z")}, Saved());
	Config.Flush(true, Saved());
	EXPECT_EQ(Read("Project/Saved/Config/Game.ini"), "[S]\n!L=ClearArray\n+L=z\n.L=z\n");
	EXPECT_EQ(Joined(TEXT("L")), "z,z");
	EXPECT_EQ(Read("Project/Config/DefaultGame.ini"), "[S]\n+L=x\n+L=y\n") << "only the file named is written";
}

TEST_F(ConfigLayers, TheDefaultFileReadsOverTheEnginesBaseFile)
{
	Write("Engine/Config/BaseEngine.ini", "[HTTPServer.Listeners]\nDefaultBindAddress=127.0.0.1\n");
	FString Value;
	ASSERT_TRUE(Config.GetString(TEXT("HTTPServer.Listeners"), TEXT("DefaultBindAddress"), Value, FPaths::ProjectDir() + TEXT("Config/DefaultEngine.ini")));
	EXPECT_EQ(Value.ToStdString(), "127.0.0.1");
	EXPECT_FALSE(Config.GetString(TEXT("HTTPServer.Listeners"), TEXT("DefaultBindAddress"), Value, FString((Dir / "Elsewhere.ini").string())))
		<< "a file outside the project's layers is read alone";
}
