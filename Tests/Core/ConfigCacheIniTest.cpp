#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "ConfigTestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace
{
	using namespace ConfigTestFiles;
	namespace fs = std::filesystem;

	std::vector<std::string> FolderEntries(const fs::path& Folder)
	{
		std::vector<std::string> Names;
		for (const fs::directory_entry& Entry : fs::directory_iterator(Folder))
		{
			Names.push_back(Entry.path().filename().string());
		}
		std::sort(Names.begin(), Names.end());
		return Names;
	}

	class ConfigFileTest : public FConfigFolderTest
	{
	protected:
		FString File(const char* Name) const { return FString((Dir / Name).string()); }
		/** Writes Text as the file, then flushes the edits Edit makes and returns what is on disk. */
		template <typename EditType>
		std::string EditFile(const std::string& Text, EditType Edit)
		{
			const FString Path = File("Edit.ini");
			WriteText(*Path, Text);
			Edit(Path);
			Config.Flush(true, Path);
			EXPECT_TRUE(Config.GetLastWriteError().IsEmpty()) << *Config.GetLastWriteError();
			return ReadText(*Path);
		}

		FConfigCacheIni Config;
	};

	using ConfigRoundTrip = ConfigFileTest;
	using ConfigPreservation = ConfigFileTest;
	using ConfigArrays = ConfigFileTest;
	using ConfigAtomicWrite = ConfigFileTest;
	using ConfigCaching = ConfigFileTest;

	const TCHAR* const Section = TEXT("/Script/Game.Settings");
} // namespace

TEST_F(ConfigRoundTrip, ValuesReadBackFromDisk)
{
	const FString Path = File("Saved/Config/Game.ini");
	const std::pair<const TCHAR*, std::string> Values[] = {{TEXT("Title"), "  padded \"quoted\" "}, {TEXT("Looks"), "\"already\""}, {TEXT("Plain"), "a = b;c"}};
	for (const auto& [Key, Value] : Values)
	{
		Config.SetString(Section, Key, Value.c_str(), Path);
	}
	Config.SetArray(Section, TEXT("Paths"), {TEXT("/Game/A"), TEXT("/Game/B"), TEXT("/Game/A")}, Path);
	Config.Flush(true);
	ASSERT_TRUE(Config.GetLastWriteError().IsEmpty()) << *Config.GetLastWriteError();

	const std::string OnDisk = ReadText(*Path);
	EXPECT_NE(OnDisk.find("\n+Paths=/Game/B\n"), std::string::npos) << OnDisk;

	for (const auto& [Key, Value] : Values)
	{
		FString Text;
		ASSERT_TRUE(Config.GetString(Section, Key, Text, Path)) << Key;
		EXPECT_EQ(Text.ToStdString(), Value) << Key;
	}
	TArray<FString> Paths;
	ASSERT_EQ(Config.GetArray(Section, TEXT("Paths"), Paths, Path), 3);
	EXPECT_EQ(JoinedWithCommas(Paths), "/Game/A,/Game/B,/Game/A");
}

TEST_F(ConfigRoundTrip, ReadsTheLayeredLineSyntax)
{
	const FString Path = File("Read.ini");
	WriteText(*Path,
		"; comment=not a key\n[Log]\n  Spaced Key =  inner  spaces kept   \r\n# also=not a key\n"
		"Quoted=\" a \\\"b\\\" \"\n+List=a\n.List=a\n+List=b\n+List=c\n-List=b\n"
		"Flag=yes\nSwitch=OFF\nBad=maybe\nNum=12abc\nCleared=1\n!Cleared=ClearArray\nEmpty=\n[Other]\nList=z\n");

	FString Text;
	ASSERT_TRUE(Config.GetString(TEXT("Log"), TEXT("Spaced Key"), Text, Path));
	EXPECT_EQ(Text.ToStdString(), "inner  spaces kept");
	ASSERT_TRUE(Config.GetString(TEXT("Log"), TEXT("Quoted"), Text, Path));
	EXPECT_EQ(Text.ToStdString(), " a \"b\" ");
	ASSERT_TRUE(Config.GetString(TEXT("Log"), TEXT("Empty"), Text, Path));
	EXPECT_TRUE(Text.IsEmpty());
	EXPECT_FALSE(Config.GetString(TEXT("Log"), TEXT("Cleared"), Text, Path));
	EXPECT_FALSE(Config.GetString(TEXT("Log"), TEXT("# also"), Text, Path));

	TArray<FString> List;
	ASSERT_EQ(Config.GetArray(TEXT("Log"), TEXT("List"), List, Path), 3);
	EXPECT_EQ(List[0].ToStdString() + List[1].ToStdString() + List[2].ToStdString(), "aac");
	EXPECT_EQ(Config.GetArray(TEXT("Other"), TEXT("List"), List, Path), 1);

	const TArray<FString> Keys = Config.GetKeys(TEXT("Log"), Path);
	EXPECT_EQ(JoinedWithCommas(Keys), "Spaced Key,Quoted,List,Flag,Switch,Bad,Num,Empty");
}

TEST_F(ConfigRoundTrip, SectionsAndKeysIgnoreCase)
{
	const std::string Result = EditFile("[Audio]\nMasterVolume=0.5\n", [this](const FString& Path) {
		FString Volume;
		EXPECT_TRUE(Config.GetString(TEXT("audio"), TEXT("MASTERVOLUME"), Volume, Path));
		EXPECT_EQ(Volume.ToStdString(), "0.5");
		EXPECT_TRUE(Config.DoesSectionExist(TEXT("AUDIO"), Path));
		EXPECT_FALSE(Config.DoesSectionExist(TEXT("Video"), Path));
		Config.SetString(TEXT("AUDIO"), TEXT("mastervolume"), TEXT("0.75"), Path);
	});
	EXPECT_EQ(Result, "[Audio]\nMasterVolume=0.75\n");
}

TEST_F(ConfigPreservation, EditsTouchOnlyTheirOwnLines)
{
	const std::string Result = EditFile(
		"; by hand\n[Render]\nr.Shadow = 1\n+Plugins=Alpha\n+Plugins=Beta\nline without equals\n\n"
		"[Other]\n# keep me\nKey=Value   \n\n\n",
		[this](const FString& Path) {
			Config.SetString(TEXT("Render"), TEXT("r.Shadow"), TEXT("0"), Path);
			Config.SetString(TEXT("Render"), TEXT("r.New"), TEXT("7"), Path);
			Config.SetString(TEXT("Added"), TEXT("bOn"), TEXT("False"), Path);
		});
	EXPECT_EQ(Result,
		"; by hand\n[Render]\nr.Shadow = 0\n+Plugins=Alpha\n+Plugins=Beta\nline without equals\nr.New=7\n\n"
		"[Other]\n# keep me\nKey=Value   \n\n\n[Added]\nbOn=False\n");
}

TEST_F(ConfigPreservation, NewLinesFollowTheFilesLineEndings)
{
	auto AddKey = [this](const FString& Path) { Config.SetString(TEXT("A"), TEXT("Y"), TEXT("2"), Path); };
	EXPECT_EQ(EditFile("[A]\r\nX=1\r\n\r\n[B]\r\n", AddKey), "[A]\r\nX=1\r\nY=2\r\n\r\n[B]\r\n");
	EXPECT_EQ(EditFile("[A]\nX=1", AddKey), "[A]\nX=1\nY=2\n");
	EXPECT_EQ(EditFile("[B]\nX=1", AddKey), "[B]\nX=1\n\n[A]\nY=2\n");
}

TEST_F(ConfigPreservation, UnchangedFilesAreNotWritten)
{
	const FString Path = File("Same.ini");
	WriteText(*Path, "[S]\nX = 1   \n+L=a\n");
	Config.SetString(TEXT("S"), TEXT("X"), TEXT("1"), Path);
	Config.SetArray(TEXT("S"), TEXT("L"), {TEXT("a")}, Path);
	fs::remove(*Path);
	Config.Flush(false);
	EXPECT_FALSE(fs::exists(*Path));
}

TEST_F(ConfigArrays, SetArrayReplacesEveryLineAtTheFirstOne)
{
	const std::string Input = "[S]\nA=1\n+List=old1\nB=2\n.List=old2\n-List=x\n";
	EXPECT_EQ(EditFile(Input, [this](const FString& Path) { Config.SetArray(TEXT("S"), TEXT("list"), {TEXT("n1"), TEXT(" n2")}, Path); }),
		"[S]\nA=1\n+List=n1\n+List=\" n2\"\nB=2\n");
	EXPECT_EQ(EditFile(Input, [this](const FString& Path) { Config.SetArray(TEXT("S"), TEXT("List"), {}, Path); }), "[S]\nA=1\nB=2\n");
	TArray<FString> Values;
	EXPECT_EQ(Config.GetArray(TEXT("S"), TEXT("List"), Values, File("Edit.ini")), 0);
}

TEST_F(ConfigArrays, RemoveKeyDeletesEveryLineOfTheKey)
{
	const std::string Result = EditFile("[S]\nKeep=1\nGone=a\n+Gone=b\n.Gone=c\n-Gone=d\n!Gone=\n[T]\nGone=kept\n", [this](const FString& Path) {
		EXPECT_TRUE(Config.RemoveKey(TEXT("S"), TEXT("gone"), Path));
		EXPECT_FALSE(Config.RemoveKey(TEXT("S"), TEXT("Gone"), Path));
		EXPECT_FALSE(Config.RemoveKey(TEXT("Missing"), TEXT("Gone"), Path));
	});
	EXPECT_EQ(Result, "[S]\nKeep=1\n[T]\nGone=kept\n");
}

TEST_F(ConfigAtomicWrite, ReadOnlyFolderKeepsTheOriginal)
{
	if (::geteuid() == 0)
	{
		GTEST_SKIP() << "folder permissions do not stop root";
	}
	const fs::path Folder = Dir / "Locked";
	const FString Path((Folder / "Game.ini").string());
	WriteText(*Path, "[S]\nX=old\n");
	Config.SetString(TEXT("S"), TEXT("X"), TEXT("new"), Path);
	fs::permissions(Folder, fs::perms::owner_read | fs::perms::owner_exec);
	Config.Flush(true, Path);
	fs::permissions(Folder, fs::perms::owner_all);

	EXPECT_EQ(Config.GetLastWriteError().ToStdString(), Path.ToStdString() + ": Permission denied");
	EXPECT_EQ(ReadText(*Path), "[S]\nX=old\n");
	EXPECT_EQ(FolderEntries(Folder), std::vector<std::string>{"Game.ini"});
}

TEST_F(ConfigAtomicWrite, FailedWriteStaysPendingUntilItSucceeds)
{
	WriteText(Dir / "Blocker", "not a folder");
	const FString Path((Dir / "Blocker" / "Game.ini").string());
	Config.SetString(TEXT("S"), TEXT("X"), TEXT("kept"), Path);
	Config.Flush(true, Path);
	EXPECT_EQ(Config.GetLastWriteError().ToStdString(), Path.ToStdString() + ": Not a directory");

	fs::remove(Dir / "Blocker");
	Config.Flush(false);
	EXPECT_TRUE(Config.GetLastWriteError().IsEmpty());
	EXPECT_EQ(ReadText(*Path), "[S]\nX=kept\n");
}

TEST_F(ConfigAtomicWrite, PartialWriteLeavesNoTempFile)
{
	const FString Path = File("Game.ini");
	WriteText(*Path, "[S]\nX=old\n");
	Config.SetString(TEXT("S"), TEXT("Big"), *FString(std::string(8192, 'v')), Path);

	// A file size limit makes the temp file's write fail part way, even for root.
	rlimit Saved{};
	ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
	rlimit Small = Saved;
	Small.rlim_cur = 1024;
	const sighandler_t OldHandler = std::signal(SIGXFSZ, SIG_IGN);
	ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
	Config.Flush(false, Path);
	::setrlimit(RLIMIT_FSIZE, &Saved);
	std::signal(SIGXFSZ, OldHandler);

	EXPECT_EQ(Config.GetLastWriteError().ToStdString(), Path.ToStdString() + ": File too large");
	EXPECT_EQ(ReadText(*Path), "[S]\nX=old\n");
	EXPECT_EQ(FolderEntries(Dir), std::vector<std::string>{"Game.ini"});
}

TEST_F(ConfigCaching, RemovingFromTheCacheRereadsTheDisk)
{
	const FString Path = File("Game.ini");
	Config.SetString(TEXT("S"), TEXT("X"), TEXT("1"), Path);
	Config.Flush(false, Path);
	WriteText(*Path, "[S]\nX=2\n");

	FString Value;
	ASSERT_TRUE(Config.GetString(TEXT("S"), TEXT("X"), Value, Path));
	EXPECT_EQ(Value.ToStdString(), "1");
	Config.Flush(true, Path);
	ASSERT_TRUE(Config.GetString(TEXT("S"), TEXT("X"), Value, Path));
	EXPECT_EQ(Value.ToStdString(), "2");

	Config.SetString(TEXT("S"), TEXT("Y"), TEXT("3"), Path);
	Config.Clear();
	Config.Flush(false);
	EXPECT_EQ(ReadText(*Path), "[S]\nX=2\n");
}

TEST_F(ConfigCaching, GlobalsFollowTheProjectFolder)
{
	const FString OldProject = FPaths::ProjectDir();
	FPaths::SetProjectDir(FString(Dir.string()));
	FConfigCacheIni::InitializeConfigSystem();

	const std::string Root = Dir.string() + "/";
	EXPECT_NE(GConfig, nullptr);
	EXPECT_EQ(GGameIni.ToStdString(), Root + "Saved/Config/Game.ini");
	EXPECT_EQ(GEngineIni.ToStdString(), Root + "Saved/Config/Engine.ini");
	EXPECT_EQ(GEditorIni.ToStdString(), Root + "Saved/Config/Editor.ini");
	EXPECT_EQ(FConfigCacheIni::GetConfigFilename(TEXT("RemoteControl"), true).ToStdString(), Root + "Config/DefaultRemoteControl.ini");
	EXPECT_EQ(FConfigCacheIni::GetConfigFilename(TEXT("Game"), false).ToStdString(), Root + "Saved/Config/Game.ini");

	FConfigCacheIni::TearDownConfigSystem();
	FPaths::SetProjectDir(OldProject);
	EXPECT_EQ(GConfig, nullptr);
}
