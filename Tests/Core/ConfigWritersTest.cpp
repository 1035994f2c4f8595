#include "Misc/ConfigCacheIni.h"
#include "ConfigTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

namespace
{
	using namespace ConfigTestFiles;

	namespace fs = std::filesystem;

	class ConfigWriters : public FConfigFolderTest
	{
	protected:
		void SetUp() override
		{
			FConfigFolderTest::SetUp();
			Path = FString((Dir / "Game.ini").string());
		}

		std::string Read() const { return ReadText(Dir / "Game.ini"); }
		void Write(const std::string& Text) const { WriteText(Dir / "Game.ini", Text); }
		/** Key of section S as Config reads it from the file; none when Config finds no such key. */
		std::optional<std::string> ValueInS(FConfigCacheIni& Config, const TCHAR* Key) const
		{
			FString Value;
			if (!Config.GetString(TEXT("S"), Key, Value, Path))
			{
				return std::nullopt;
			}
			return Value.ToStdString();
		}

		FString Path;
	};

	const TCHAR* const Section = TEXT("/Script/Game.Settings");
} // namespace

TEST_F(ConfigWriters, ControlCharactersAreEscapedSoNoValueLeavesItsLine)
{
	const std::string Hostile = "a\nbDisable=True\n[/Script/X.Y]\r\nOwner=A\t\\n\x01\x7f\"end\"";
	// An array element keeps a NUL too (a C string cannot carry one to SetString).
	const std::string WithNul = Hostile + '\0' + "tail";
	{
		FConfigCacheIni Config;
		Config.SetString(Section, TEXT("Value"), Hostile.c_str(), Path);
		Config.SetArray(Section, TEXT("List"), {FString(WithNul), FString(TEXT("plain"))}, Path);
		Config.Flush(true);
		ASSERT_TRUE(Config.GetLastWriteError().IsEmpty()) << *Config.GetLastWriteError();
	}
	const std::string OnDisk = Read();
	EXPECT_EQ(std::count(OnDisk.begin(), OnDisk.end(), '\n'), 4) << OnDisk;
	EXPECT_EQ(OnDisk.find("\n[/Script/X.Y]"), std::string::npos) << OnDisk;

	FConfigCacheIni Fresh;
	FString Value;
	ASSERT_TRUE(Fresh.GetString(Section, TEXT("Value"), Value, Path));
	EXPECT_EQ(Value.ToStdString(), Hostile);
	TArray<FString> List;
	ASSERT_EQ(Fresh.GetArray(Section, TEXT("List"), List, Path), 2);
	EXPECT_EQ(List[0].ToStdString(), WithNul);
	EXPECT_EQ(JoinedWithCommas(Fresh.GetKeys(Section, Path)), "Value,List");
	EXPECT_FALSE(Fresh.DoesSectionExist(TEXT("/Script/X.Y"), Path));
}

TEST_F(ConfigWriters, HandWrittenBackslashesThatAreNoEscapeStayAsWritten)
{
	Write("[S]\nPath=\" C:\\dir\\file \"\nRaw=C:\\new\n");
	FConfigCacheIni Config;
	EXPECT_EQ(ValueInS(Config, TEXT("Path")), " C:\\dir\\file ");
	EXPECT_EQ(ValueInS(Config, TEXT("Raw")), "C:\\new");
}

TEST_F(ConfigWriters, TwoWritersOfOneFileKeepEachOthersChanges)
{
	Write("[S]\nA=0\nB=0\n; note\n");
	FConfigCacheIni First;
	FConfigCacheIni Second;
	// Both read the file before either writes: the classic lost update.
	ASSERT_TRUE(ValueInS(First, TEXT("A")));
	ASSERT_TRUE(ValueInS(Second, TEXT("B")));
	First.SetString(TEXT("S"), TEXT("A"), TEXT("1"), Path);
	Second.SetString(TEXT("S"), TEXT("B"), TEXT("2"), Path);
	Second.SetArray(TEXT("S"), TEXT("L"), {FString(TEXT("x"))}, Path);
	First.Flush(false);
	Second.Flush(false);
	EXPECT_EQ(Read(), "[S]\nA=1\nB=2\n; note\n+L=x\n");

	// Each writer now holds the merged file, so reading after its own write sees the other's too.
	EXPECT_EQ(ValueInS(First, TEXT("A")), "1");
	EXPECT_EQ(ValueInS(Second, TEXT("A")), "1");
}

TEST_F(ConfigWriters, AWriteRemovesTheTemporaryFilesOfWritersThatDied)
{
	Write("[S]\nA=0\n");
	std::ofstream(Dir / "Game.ini.tmp.12345") << "[S]\nA=half\n";
	std::ofstream(Dir / "Game.ini.tmp.notapid") << "kept";
	std::ofstream(Dir / "Other.ini.tmp.12345") << "kept";
	FConfigCacheIni Config;
	EXPECT_EQ(ValueInS(Config, TEXT("A")), "0") << "a temporary file is never read";
	Config.SetString(TEXT("S"), TEXT("A"), TEXT("1"), Path);
	Config.Flush(false);
	EXPECT_FALSE(fs::exists(Dir / "Game.ini.tmp.12345"));
	EXPECT_TRUE(fs::exists(Dir / "Game.ini.tmp.notapid"));
	EXPECT_TRUE(fs::exists(Dir / "Other.ini.tmp.12345"));
	EXPECT_EQ(Read(), "[S]\nA=1\n");
}
