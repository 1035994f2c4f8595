#include "LiveConfigFixture.h"
#include "Misc/ConfigCacheIni.h"

#include <algorithm>
#include <iterator>

namespace
{
	const char* const SettingsSection = "/Script/QuarnLive.QuarnLiveSettings";

	/** A bare editor; the settings object is made on first Get(). */
	class LiveSettingsTest : public FLiveConfigTest
	{
	protected:
		void Boot() { FLiveConfigTest::Boot({}); }

		/** A second engine life: the next Get() loads from disk again. */
		void Reboot()
		{
			FHeadlessEngineLoop::Shutdown();
			Boot();
		}

		void WriteDefaultGame(const std::string& Text) const { Write(DefaultGameIni(), Text); }
		std::string ReadDefaultGame() const { return Read(DefaultGameIni()); }

		/** The per-user layer, which the settings' saves never write to. */
		void WriteSavedGame(const std::string& Text) const { Write(SavedIni("Game.ini"), Text); }
		std::string ReadSavedGame() const { return Read(SavedIni("Game.ini")); }

		const FProperty& Property(const TCHAR* Name) const
		{
			const FProperty* Found = UQuarnLiveSettings::StaticClass()->FindPropertyByName(Name);
			EXPECT_NE(Found, nullptr) << Name;
			return *Found;
		}
	};

	using LiveSettingsStorage = LiveSettingsTest;
	using LiveSettingsDescriptors = LiveSettingsTest;

	TEST_F(LiveSettingsStorage, AnEmptyProjectYieldsTheDefaults)
	{
		Boot();
		const UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		ASSERT_NE(Settings, nullptr);
		EXPECT_FALSE(Settings->bMultiEngineMaster);
		EXPECT_EQ(Settings->OtherMultiEngineIps.Num(), 0);
		EXPECT_TRUE(Settings->bShouldBroadcastPIE);
		EXPECT_FALSE(Settings->bShouldBroadcastRecord);
		EXPECT_FALSE(Settings->bDisableMultiEngine);
		EXPECT_FALSE(Settings->bEnableWebRemote);
	}

	TEST_F(LiveSettingsStorage, GetAlwaysAnswersTheClassDefaultObject)
	{
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		EXPECT_EQ(Settings, GetMutableDefault<UQuarnLiveSettings>());
		EXPECT_EQ(Settings, UQuarnLiveSettings::Get());
		EXPECT_TRUE(Settings->HasAnyFlags(RF_ClassDefaultObject));
		EXPECT_STREQ(UQuarnLiveSettings::StaticConfigName(), "Game");
		EXPECT_EQ(UQuarnLiveSettings::StaticClass()->GetConfigName(), FName(TEXT("Game")));
	}

	TEST_F(LiveSettingsStorage, HandWrittenValuesLoadAndMissingOnesKeepTheirDefaults)
	{
		WriteDefaultGame(std::string("[") + SettingsSection + "]\nbMultiEngineMaster=True\n+OtherMultiEngineIps=10.0.0.2\n+OtherMultiEngineIps=10.0.0.3\n");
		Boot();
		const UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		EXPECT_TRUE(Settings->bMultiEngineMaster);
		EXPECT_EQ(Settings->OtherMultiEngineIps, (TArray<FString>{TEXT("10.0.0.2"), TEXT("10.0.0.3")}));
		EXPECT_TRUE(Settings->bShouldBroadcastPIE);
		EXPECT_FALSE(Settings->bEnableWebRemote);
	}

	TEST_F(LiveSettingsStorage, EveryPropertyRoundTripsThroughTheSavedLayer)
	{
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		Settings->bMultiEngineMaster = true;
		Settings->OtherMultiEngineIps = {TEXT("10.0.0.2"), TEXT("10.0.0.2"), TEXT("192.168.1.40")};
		Settings->bShouldBroadcastPIE = false;
		Settings->bShouldBroadcastRecord = true;
		Settings->bDisableMultiEngine = true;
		Settings->bEnableWebRemote = true;
		Settings->SaveConfig();

		Reboot();
		const UQuarnLiveSettings* Loaded = UQuarnLiveSettings::Get();
		EXPECT_TRUE(Loaded->bMultiEngineMaster);
		EXPECT_EQ(Loaded->OtherMultiEngineIps, (TArray<FString>{TEXT("10.0.0.2"), TEXT("10.0.0.2"), TEXT("192.168.1.40")}));
		EXPECT_FALSE(Loaded->bShouldBroadcastPIE);
		EXPECT_TRUE(Loaded->bShouldBroadcastRecord);
		EXPECT_TRUE(Loaded->bDisableMultiEngine);
		EXPECT_TRUE(Loaded->bEnableWebRemote);
	}

	TEST_F(LiveSettingsStorage, SavingWritesOneKeyPerPropertyAndOneLinePerElement)
	{
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		Settings->OtherMultiEngineIps = {TEXT("10.0.0.2"), TEXT("10.0.0.3")};
		Settings->SaveConfig();

		const std::string Expected = std::string("[") + SettingsSection + "]\n"
																		  "bMultiEngineMaster=False\n"
																		  "+OtherMultiEngineIps=10.0.0.2\n"
																		  "+OtherMultiEngineIps=10.0.0.3\n"
																		  "bShouldBroadcastPIE=True\n"
																		  "bShouldBroadcastRecord=False\n"
																		  "bDisableMultiEngine=False\n"
																		  "bEnableWebRemote=False\n";
		EXPECT_EQ(ReadDefaultGame(), Expected);
		EXPECT_EQ(ReadSavedGame().find(SettingsSection), std::string::npos) << "the settings are never saved per user";
	}

	TEST_F(LiveSettingsStorage, SavingKeepsEverythingElseInTheFile)
	{
		WriteDefaultGame("; studio A\n[/Script/Other.Thing]\n+Paths=/Game/A\n+Paths=/Game/B\nName=Keep me\n\n[" + std::string(SettingsSection) + "]\n; hand note\nbShouldBroadcastRecord=True\n");
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		EXPECT_TRUE(Settings->bShouldBroadcastRecord);
		Settings->bMultiEngineMaster = true;
		Settings->SaveConfig();

		const std::string Text = ReadDefaultGame();
		EXPECT_EQ(Text.rfind("; studio A\n[/Script/Other.Thing]\n+Paths=/Game/A\n+Paths=/Game/B\nName=Keep me\n", 0), 0u) << Text;
		EXPECT_NE(Text.find("; hand note\n"), std::string::npos) << Text;
		EXPECT_NE(Text.find("bShouldBroadcastRecord=True\n"), std::string::npos) << Text;
		EXPECT_NE(Text.find("bMultiEngineMaster=True\n"), std::string::npos) << Text;
	}

	TEST_F(LiveSettingsStorage, AnEmptiedListLeavesNoLineBehind)
	{
		WriteDefaultGame(std::string("[") + SettingsSection + "]\n+OtherMultiEngineIps=10.0.0.2\n");
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		ASSERT_EQ(Settings->OtherMultiEngineIps.Num(), 1);
		Settings->OtherMultiEngineIps.Empty();
		Settings->SaveConfig();
		EXPECT_EQ(ReadDefaultGame().find("OtherMultiEngineIps"), std::string::npos);

		Reboot();
		EXPECT_EQ(UQuarnLiveSettings::Get()->OtherMultiEngineIps.Num(), 0);
	}

	TEST_F(LiveSettingsStorage, SaveConfigWritesTheDefaultFileAndDropsSavedValuesThatWouldHideIt)
	{
		WriteSavedGame(std::string("[") + SettingsSection + "]\nbMultiEngineMaster=False\nbShouldBroadcastRecord=True\n");
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		EXPECT_TRUE(Settings->bShouldBroadcastRecord);
		Settings->bMultiEngineMaster = true;
		Settings->SaveConfig();

		EXPECT_NE(ReadDefaultGame().find("bMultiEngineMaster=True\n"), std::string::npos) << ReadDefaultGame();
		EXPECT_NE(ReadDefaultGame().find("bShouldBroadcastRecord=True\n"), std::string::npos) << ReadDefaultGame();
		EXPECT_EQ(ReadSavedGame().find("bMultiEngineMaster"), std::string::npos) << ReadSavedGame();
		Reboot();
		EXPECT_TRUE(UQuarnLiveSettings::Get()->bMultiEngineMaster);
		EXPECT_TRUE(UQuarnLiveSettings::Get()->bShouldBroadcastRecord);
	}

	TEST_F(LiveSettingsStorage, TheDefaultFileSaveDropsSavedValuesThatWouldHideIt)
	{
		WriteSavedGame(std::string("[") + SettingsSection + "]\nbMultiEngineMaster=True\n+OtherMultiEngineIps=10.0.0.9\n");
		Boot();
		UQuarnLiveSettings* Settings = UQuarnLiveSettings::Get();
		Settings->OtherMultiEngineIps = {TEXT("10.0.0.2")};
		ASSERT_TRUE(Settings->TryUpdateDefaultConfigFile());

		EXPECT_NE(ReadDefaultGame().find("+OtherMultiEngineIps=10.0.0.2\n"), std::string::npos) << ReadDefaultGame();
		EXPECT_EQ(ReadSavedGame().find("OtherMultiEngineIps"), std::string::npos) << ReadSavedGame();
		Reboot();
		EXPECT_EQ(UQuarnLiveSettings::Get()->OtherMultiEngineIps, (TArray<FString>{TEXT("10.0.0.2")}));
		EXPECT_TRUE(UQuarnLiveSettings::Get()->bMultiEngineMaster);
	}

	TEST_F(LiveSettingsDescriptors, PropertiesAreDeclaredInOrderAsEditableConfig)
	{
		const TArray<FProperty*>& Properties = UQuarnLiveSettings::StaticClass()->GetOwnProperties();
		const TArray<FString> Names = {TEXT("bMultiEngineMaster"), TEXT("OtherMultiEngineIps"), TEXT("bShouldBroadcastPIE"),
			TEXT("bShouldBroadcastRecord"), TEXT("bDisableMultiEngine"), TEXT("bEnableWebRemote")};
		ASSERT_EQ(Properties.Num(), Names.Num());
		for (int32 Index = 0; Index < Names.Num(); ++Index)
		{
			const FProperty& Property = *Properties[Index];
			EXPECT_TRUE(Property.GetName().Equals(Names[Index], ESearchCase::CaseSensitive)) << *Names[Index];
			EXPECT_TRUE(Property.HasAllPropertyFlags(CPF_Config | CPF_Edit)) << *Names[Index];
			EXPECT_FALSE(Property.HasAnyPropertyFlags(CPF_BlueprintVisible | CPF_EditConst)) << *Names[Index];
			EXPECT_TRUE(Property.GetMetaData(TEXT("Category")).Equals(TEXT("Quarn|Live"), ESearchCase::CaseSensitive)) << *Names[Index];
		}
		EXPECT_TRUE(UQuarnLiveSettings::StaticClass()->HasAnyClassFlags(CLASS_DefaultConfig));
	}

	TEST_F(LiveSettingsDescriptors, TooltipsComeFromTheDocComments)
	{
		EXPECT_EQ(Property(TEXT("bMultiEngineMaster")).GetToolTipText().ToString().ToStdString(),
			"In a multi-engine environment, one user is the master and broadcasts play, stop, start record\nand stop record to the other engines.");
		EXPECT_EQ(Property(TEXT("OtherMultiEngineIps")).GetToolTipText().ToString().ToStdString(),
			"In a multi-engine environment, for the master only, this is the list of other engine IP addresses");
		EXPECT_EQ(Property(TEXT("bShouldBroadcastPIE")).GetToolTipText().ToString().ToStdString(), "If the multi-engine master should broadcast Play and Stop in editor");
		EXPECT_EQ(Property(TEXT("bShouldBroadcastRecord")).GetToolTipText().ToString().ToStdString(), "If broadcast should also start take recording");
		EXPECT_EQ(Property(TEXT("bDisableMultiEngine")).GetToolTipText().ToString().ToStdString(),
			"Disable the multi engine server completely (this will also prevent responses to timecode jams)");
		EXPECT_EQ(Property(TEXT("bEnableWebRemote")).GetToolTipText().ToString().ToStdString(), "Auto-enable the Web Remote Control API remote access");
	}

	TEST_F(LiveSettingsDescriptors, OnlyTheListHasAnEditCondition)
	{
		EXPECT_EQ(Property(TEXT("OtherMultiEngineIps")).GetMetaData(TEXT("EditCondition")).ToStdString(), "bMultiEngineMaster");
		for (const TCHAR* Name : {TEXT("bMultiEngineMaster"), TEXT("bShouldBroadcastPIE"), TEXT("bShouldBroadcastRecord"), TEXT("bDisableMultiEngine"), TEXT("bEnableWebRemote")})
		{
			EXPECT_FALSE(Property(Name).HasMetaData(TEXT("EditCondition"))) << Name;
		}
	}

	TEST_F(LiveSettingsDescriptors, RestartAndAdvancedMarkTheRightProperties)
	{
		const TCHAR* const RestartRequired[] = {TEXT("OtherMultiEngineIps"), TEXT("bDisableMultiEngine"), TEXT("bEnableWebRemote")};
		const TCHAR* const Advanced[] = {TEXT("bDisableMultiEngine"), TEXT("bEnableWebRemote")};
		for (const FProperty* Property : UQuarnLiveSettings::StaticClass()->GetOwnProperties())
		{
			const bool bRestart = std::find_if(std::begin(RestartRequired), std::end(RestartRequired), [Property](const TCHAR* Name) { return Property->GetName() == Name; }) != std::end(RestartRequired);
			const bool bAdvanced = std::find_if(std::begin(Advanced), std::end(Advanced), [Property](const TCHAR* Name) { return Property->GetName() == Name; }) != std::end(Advanced);
			EXPECT_EQ(Property->HasMetaData(TEXT("ConfigRestartRequired")), bRestart) << *Property->GetName();
			if (bRestart)
			{
				EXPECT_EQ(Property->GetMetaData(TEXT("ConfigRestartRequired")).ToStdString(), "TRUE");
			}
			EXPECT_EQ(Property->HasMetaData(TEXT("AdvancedDisplay")), bAdvanced) << *Property->GetName();
			if (bAdvanced)
			{
				EXPECT_TRUE(Property->GetMetaData(TEXT("AdvancedDisplay")).IsEmpty());
			}
		}
	}
} // namespace
