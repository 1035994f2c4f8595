#include "ISettingsModule.h"
#include "LiveConfigFixture.h"
#include "Misc/ConfigCacheIni.h"
#include "Modules/ModuleManager.h"
#include "QuarnLiveModule.h"
#include "RemoteControlSettings.h"

namespace
{
	/** Boots an editor (or a game) over a fresh project, with or without the settings registry before QuarnLive. */
	class LiveModuleTest : public FLiveConfigTest
	{
	protected:
		void Boot(bool bWithSettingsRegistry = true, bool bEditor = true)
		{
			FHeadlessEngineOptions Options;
			Options.bEditor = bEditor;
			if (bWithSettingsRegistry)
			{
				Options.Modules.Add(TEXT("Settings"));
			}
			Options.Modules.Add(TEXT("QuarnLive"));
			FLiveConfigTest::Boot(Options);
		}

		static ISettingsModule* Registry() { return FModuleManager::GetModulePtr<ISettingsModule>(TEXT("Settings")); }
		static FQuarnLiveModule& Module() { return FModuleManager::GetModuleChecked<FQuarnLiveModule>(TEXT("QuarnLive")); }

		static TSharedPtr<ISettingsSection> LiveSection()
		{
			return Registry() ? Registry()->FindSection(TEXT("Project"), TEXT("Quarn VP"), TEXT("Live")) : nullptr;
		}

		/** What the settings editor does after a property of the page changed. */
		static bool EditPage()
		{
			TSharedPtr<ISettingsSection> Section = LiveSection();
			EXPECT_TRUE(Section.IsValid());
			return Section.IsValid() && Section->NotifySectionOnPropertyModified();
		}

		std::filesystem::path EngineIni() const { return SavedIni("Engine.ini"); }
		std::filesystem::path RemoteControlIni() const { return SavedIni("RemoteControl.ini"); }
	};

	using LiveModuleStartup = LiveModuleTest;
	using WebRemoteSwitch = LiveModuleTest;
	using SettingsChangedBroadcast = LiveModuleTest;
	using LiveModuleShutdown = LiveModuleTest;

	TEST_F(LiveModuleStartup, RegistersTheLivePageWithItsLocalisedTexts)
	{
		Boot();
		TSharedPtr<ISettingsSection> Section = LiveSection();
		ASSERT_TRUE(Section.IsValid());
		EXPECT_EQ(Section->GetSettingsObject().Get(), UQuarnLiveSettings::Get());
		EXPECT_EQ(Section->GetDisplayName().ToString().ToStdString(), "Live");
		EXPECT_EQ(Section->GetDisplayName().GetNamespace().ToStdString(), "QuarnLive");
		EXPECT_EQ(Section->GetDisplayName().GetKey().ToStdString(), "QuarnLiveSettingsName");
		EXPECT_EQ(Section->GetDescription().ToString().ToStdString(), "Settings for Quarn Live");
		EXPECT_EQ(Section->GetDescription().GetNamespace().ToStdString(), "QuarnLive");
		EXPECT_EQ(Section->GetDescription().GetKey().ToStdString(), "QuarnLiveSettingsDescription");
		EXPECT_TRUE(Section->OnModified().IsBoundToObject(&Module()));
	}

	TEST_F(LiveModuleStartup, WithoutARegistryNoneIsLoadedAndSettingsStillLoad)
	{
		Write(DefaultGameIni(), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\n");
		Boot(false);
		EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(TEXT("Settings")));
		ASSERT_NE(UQuarnLiveSettings::Get(), nullptr);
		EXPECT_TRUE(UQuarnLiveSettings::Get()->bMultiEngineMaster);
	}

	TEST_F(LiveModuleStartup, AGameRunLeavesTheRegistryAlone)
	{
		Boot(true, false);
		ASSERT_NE(Registry(), nullptr);
		EXPECT_EQ(Registry()->GetAllSections().Num(), 0);
	}

	TEST_F(LiveModuleStartup, ANullSectionBindsNothingAndDoesNotFail)
	{
		// Without a settings object the registry answers a null section.
		UQuarnLiveSettings::StaticClass()->SetDefaultObjectSuppressed(true);
		Boot();
		EXPECT_FALSE(LiveSection().IsValid());
		EXPECT_EQ(Registry()->GetAllSections().Num(), 0);
	}

	TEST_F(WebRemoteSwitch, TurningItOnWritesTheBindAddressAndAllowsRemoteAccessOnce)
	{
		Boot();
		UQuarnLiveSettings::Get()->bEnableWebRemote = true;
		EXPECT_TRUE(EditPage());
		EXPECT_NE(Read(EngineIni()).find("[HTTPServer.Listeners]\nDefaultBindAddress=0.0.0.0\n"), std::string::npos) << Read(EngineIni());
		EXPECT_TRUE(GetMutableDefault<URemoteControlSettings>()->bAutoStartWebServer);
		EXPECT_NE(Read(RemoteControlIni()).find("bAutoStartWebServer=True"), std::string::npos);

		// Already on: the remote-control configuration is not saved again.
		std::filesystem::remove(RemoteControlIni());
		EXPECT_TRUE(EditPage());
		EXPECT_FALSE(std::filesystem::exists(RemoteControlIni()));
	}

	TEST_F(WebRemoteSwitch, AnAlreadyAllowedRemoteAccessIsNotSaved)
	{
		Write(RemoteControlIni(), "[/Script/RemoteControlCommon.RemoteControlSettings]\nbAutoStartWebServer=True\n; keep\n");
		Boot();
		UQuarnLiveSettings::Get()->bEnableWebRemote = true;
		EXPECT_TRUE(EditPage());
		EXPECT_EQ(Read(RemoteControlIni()), "[/Script/RemoteControlCommon.RemoteControlSettings]\nbAutoStartWebServer=True\n; keep\n");
		EXPECT_NE(Read(EngineIni()).find("DefaultBindAddress=0.0.0.0"), std::string::npos);
	}

	TEST_F(WebRemoteSwitch, TurningItOffRemovesAHandSetAddressAndKeepsTheRest)
	{
		Write(EngineIni(), "; mine\n[HTTPServer.Listeners]\nDefaultBindAddress=192.168.1.7\nOther=1\n\n[Core.Log]\nLogQuarnLive=Verbose\n");
		Boot();
		ASSERT_FALSE(UQuarnLiveSettings::Get()->bEnableWebRemote);
		EXPECT_TRUE(EditPage());
		EXPECT_EQ(Read(EngineIni()), "; mine\n[HTTPServer.Listeners]\nOther=1\n\n[Core.Log]\nLogQuarnLive=Verbose\n");
		EXPECT_FALSE(GetMutableDefault<URemoteControlSettings>()->bAutoStartWebServer);
		EXPECT_FALSE(std::filesystem::exists(RemoteControlIni()));
	}

	TEST_F(WebRemoteSwitch, EveryEditOfAnyPropertyAppliesTheSwitchAgain)
	{
		Boot();
		UQuarnLiveSettings::Get()->bEnableWebRemote = true;
		EXPECT_TRUE(EditPage());

		// Somebody took the address out by hand; an edit of another property puts it back on disk.
		GConfig->RemoveKey(TEXT("HTTPServer.Listeners"), TEXT("DefaultBindAddress"), GEngineIni);
		GConfig->Flush(false, GEngineIni);
		ASSERT_EQ(Read(EngineIni()).find("DefaultBindAddress"), std::string::npos);
		UQuarnLiveSettings::Get()->bShouldBroadcastRecord = true;
		EXPECT_TRUE(EditPage());
		EXPECT_NE(Read(EngineIni()).find("DefaultBindAddress=0.0.0.0"), std::string::npos);

		UQuarnLiveSettings::Get()->bEnableWebRemote = false;
		EXPECT_TRUE(EditPage());
		EXPECT_EQ(Read(EngineIni()).find("DefaultBindAddress"), std::string::npos);
	}

	TEST_F(WebRemoteSwitch, WithoutASettingsObjectNothingIsWrittenOrAnnounced)
	{
		Boot();
		int32 Calls = 0;
		Module().OnSettingsChanged().AddLambda([&Calls]() { ++Calls; });
		UQuarnLiveSettings::Get()->bEnableWebRemote = true;
		UQuarnLiveSettings::StaticClass()->SetDefaultObjectSuppressed(true);
		EXPECT_FALSE(EditPage());
		UQuarnLiveSettings::StaticClass()->SetDefaultObjectSuppressed(false);
		EXPECT_EQ(Calls, 0);
		EXPECT_FALSE(std::filesystem::exists(EngineIni()));
	}

	TEST_F(WebRemoteSwitch, WithoutAConfigCacheNothingIsWrittenOrAnnounced)
	{
		Boot();
		int32 Calls = 0;
		Module().OnSettingsChanged().AddLambda([&Calls]() { ++Calls; });
		UQuarnLiveSettings::Get()->bEnableWebRemote = true;
		FConfigCacheIni* const Config = GConfig;
		GConfig = nullptr;
		const bool bAccepted = EditPage();
		GConfig = Config;
		EXPECT_FALSE(bAccepted);
		EXPECT_EQ(Calls, 0);
		EXPECT_FALSE(GetMutableDefault<URemoteControlSettings>()->bAutoStartWebServer);
	}

	TEST_F(SettingsChangedBroadcast, ListenersSeeTheValuesJustWrittenOncePerEdit)
	{
		Boot();
		TArray<TArray<FString>> Seen;
		Module().OnSettingsChanged().AddLambda([&Seen]() { Seen.Add(UQuarnLiveSettings::Get()->OtherMultiEngineIps); });

		UQuarnLiveSettings::Get()->OtherMultiEngineIps = {TEXT("10.0.0.2")};
		EXPECT_TRUE(EditPage());
		UQuarnLiveSettings::Get()->OtherMultiEngineIps.Add(TEXT("10.0.0.3"));
		EXPECT_TRUE(EditPage());

		ASSERT_EQ(Seen.Num(), 2);
		EXPECT_EQ(Seen[0], (TArray<FString>{TEXT("10.0.0.2")}));
		EXPECT_EQ(Seen[1], (TArray<FString>{TEXT("10.0.0.2"), TEXT("10.0.0.3")}));
	}

	TEST_F(SettingsChangedBroadcast, ADirectChangeByCodeAnnouncesNothing)
	{
		Boot();
		int32 Calls = 0;
		Module().OnSettingsChanged().AddLambda([&Calls]() { ++Calls; });
		UQuarnLiveSettings::Get()->bMultiEngineMaster = true;
		UQuarnLiveSettings::Get()->SaveConfig();
		EXPECT_EQ(Calls, 0);
	}

	TEST_F(LiveModuleShutdown, UnregistersThePage)
	{
		Boot();
		ASSERT_TRUE(LiveSection().IsValid());
		Module().ShutdownModule();
		EXPECT_FALSE(LiveSection().IsValid());
	}

	TEST_F(LiveModuleShutdown, WithTheObjectSystemGoneThePageStaysAndNothingFails)
	{
		Boot();
		GIsUObjectInitialized = false;
		Module().ShutdownModule();
		GIsUObjectInitialized = true;
		EXPECT_TRUE(LiveSection().IsValid());
	}

	TEST_F(LiveModuleShutdown, AGameRunDoesNotTouchTheRegistry)
	{
		Boot();
		GIsEditor = false;
		Module().ShutdownModule();
		GIsEditor = true;
		EXPECT_TRUE(LiveSection().IsValid());
	}
} // namespace
