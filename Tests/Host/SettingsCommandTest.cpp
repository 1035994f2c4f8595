#include "HostRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>

namespace
{
	using quarnlive::test::readWhole;
	using quarnlive::test::RunResult;

	class SettingsCommand : public quarnlive::test::HostTest
	{
	protected:
		RunResult settings(std::vector<std::string> args) const
		{
			args.insert(args.begin(), "settings");
			args.push_back("--project");
			args.push_back(project().string());
			return run(args);
		}

		std::filesystem::path defaultGame() const { return project() / "Config" / "DefaultGame.ini"; }
		std::filesystem::path engineIni() const { return project() / "Saved" / "Config" / "Engine.ini"; }

		void write(const std::filesystem::path& file, const std::string& text) const
		{
			std::filesystem::create_directories(file.parent_path());
			std::ofstream(file) << text;
		}

		static bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

		/** The rest of the line after the first occurrence of label. */
		static std::string valueAfter(const std::string& text, const std::string& label)
		{
			const std::size_t start = text.find(label);
			if (start == std::string::npos)
			{
				return "<no " + label + ">";
			}
			const std::size_t from = start + label.size();
			return text.substr(from, text.find('\n', from) - from);
		}
	};

	using SettingsPage = SettingsCommand;
	using SettingsEdit = SettingsCommand;
	using SettingsRefusal = SettingsCommand;

	TEST_F(SettingsPage, AFreshProjectShowsTheLivePageWithItsDefaultsAndNotes)
	{
		const RunResult result = settings({});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(contains(result.out, "Project / Quarn VP / Live: Settings for Quarn Live\n")) << result.out;
		EXPECT_TRUE(contains(result.out, "[/Script/QuarnLive.QuarnLiveSettings]")) << result.out;
		EXPECT_TRUE(contains(result.out, "\n  Quarn|Live\n")) << result.out;
		EXPECT_TRUE(contains(result.out, "(bMultiEngineMaster) = False\n"
										 "        In a multi-engine environment, one user is the master and broadcasts play, stop, start record\n"
										 "        and stop record to the other engines.\n"))
			<< result.out;
		EXPECT_TRUE(contains(result.out, "(OtherMultiEngineIps) = ()\n"
										 "        In a multi-engine environment, for the master only, this is the list of other engine IP addresses\n"
										 "        [read-only while bMultiEngineMaster is false; a change needs an editor restart]\n"))
			<< result.out;
		EXPECT_TRUE(contains(result.out, "(bShouldBroadcastPIE) = True\n        If the multi-engine master should broadcast Play and Stop in editor\n    "))
			<< result.out;
		EXPECT_TRUE(contains(result.out, "(bEnableWebRemote) = False\n        Auto-enable the Web Remote Control API remote access\n"
										 "        [advanced; a change needs an editor restart]\n"))
			<< result.out;
		// The page's editor keeps the multi-engine server down without changing the project's switch.
		EXPECT_TRUE(contains(result.out, "(bDisableMultiEngine) = False\n")) << result.out;
		// Showing the page writes nothing.
		EXPECT_FALSE(std::filesystem::exists(defaultGame()));
		EXPECT_FALSE(std::filesystem::exists(engineIni()));
	}

	TEST_F(SettingsPage, HandWrittenValuesAreShown)
	{
		write(defaultGame(), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\n+OtherMultiEngineIps=10.0.0.2\n");
		const RunResult result = settings({});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(contains(result.out, "(bMultiEngineMaster) = True\n")) << result.out;
		EXPECT_TRUE(contains(result.out, "(OtherMultiEngineIps) = (\"10.0.0.2\")\n")) << result.out;
		EXPECT_TRUE(contains(result.out, "[editable while bMultiEngineMaster is true; a change needs an editor restart]")) << result.out;
	}

	TEST_F(SettingsPage, JsonGivesEachPageAndEachSavedChangeAsOneObject)
	{
		ASSERT_EQ(settings({"set", "bMultiEngineMaster", "true", "--json"}).exitCode, 0);
		const RunResult saved = settings({"set", "OtherMultiEngineIps", "10.0.0.2", "--json"});
		ASSERT_EQ(saved.exitCode, 0) << saved.err;
		ASSERT_EQ(saved.jsonLines().size(), 1u) << saved.out;
		const nlohmann::json change = saved.jsonLines().front();
		EXPECT_EQ(change["type"], "saved");
		EXPECT_EQ(change["name"], "OtherMultiEngineIps");
		EXPECT_EQ(change["value"], "(\"10.0.0.2\")");
		EXPECT_EQ(change["restartRequired"], true);

		const RunResult shown = settings({"--json"});
		ASSERT_EQ(shown.exitCode, 0) << shown.err;
		const std::vector<nlohmann::json> pages = shown.jsonLines();
		const auto live = std::find_if(pages.begin(), pages.end(), [](const nlohmann::json& page) { return page["section"] == "Live"; });
		ASSERT_NE(live, pages.end()) << shown.out;
		EXPECT_EQ((*live)["type"], "page");
		EXPECT_EQ((*live)["configSection"], "/Script/QuarnLive.QuarnLiveSettings");
		std::map<std::string, nlohmann::json> byName;
		for (const nlohmann::json& property : (*live)["properties"])
		{
			byName[property["name"]] = property;
		}
		ASSERT_TRUE(byName.contains("OtherMultiEngineIps")) << shown.out;
		const nlohmann::json& ips = byName["OtherMultiEngineIps"];
		EXPECT_EQ(ips["editable"], true);
		EXPECT_EQ(ips["editCondition"], "bMultiEngineMaster");
		EXPECT_EQ(ips["layer"], "Config/DefaultGame.ini");
		EXPECT_EQ(byName["bEnableWebRemote"]["advanced"], true);
		EXPECT_EQ(ips["notes"], nlohmann::json({"editable while bMultiEngineMaster is true", "a change needs an editor restart"}));
	}

	TEST_F(SettingsEdit, SettingABoolSavesThePageAndKeepsTheRestOfTheFile)
	{
		write(defaultGame(), "; studio notes\n[/Script/Other.Thing]\n+Paths=/Game/A\n+Paths=/Game/B\n");
		const RunResult result = settings({"set", "bmultienginemaster", "true"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(contains(result.out, "bMultiEngineMaster = True\n")) << result.out;
		EXPECT_FALSE(contains(result.out, "Restart")) << result.out;
		const std::string text = readWhole(defaultGame());
		EXPECT_EQ(text.rfind("; studio notes\n[/Script/Other.Thing]\n+Paths=/Game/A\n+Paths=/Game/B\n", 0), 0u) << text;
		EXPECT_TRUE(contains(text, "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\n")) << text;
		EXPECT_TRUE(contains(text, "\nbDisableMultiEngine=False\n")) << text;
	}

	TEST_F(SettingsEdit, AListTakesOneValuePerElementAndAsksForARestart)
	{
		ASSERT_EQ(settings({"set", "bMultiEngineMaster", "True"}).exitCode, 0);
		const RunResult result = settings({"set", "OtherMultiEngineIps", "10.0.0.2", "10.0.0.3"});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(contains(result.out, "Restart the editor for this change to take effect.")) << result.out;
		EXPECT_TRUE(contains(readWhole(defaultGame()), "+OtherMultiEngineIps=10.0.0.2\n+OtherMultiEngineIps=10.0.0.3\n")) << readWhole(defaultGame());

		ASSERT_EQ(settings({"set", "OtherMultiEngineIps"}).exitCode, 0);
		EXPECT_FALSE(contains(readWhole(defaultGame()), "OtherMultiEngineIps")) << readWhole(defaultGame());
	}

	TEST_F(SettingsEdit, TheWebRemoteSwitchWritesAndRemovesTheBindAddress)
	{
		write(engineIni(), "[HTTPServer.Listeners]\nDefaultBindAddress=10.1.1.1\nKeep=1\n");
		ASSERT_EQ(settings({"set", "bEnableWebRemote", "True"}).exitCode, 0);
		EXPECT_EQ(readWhole(engineIni()), "[HTTPServer.Listeners]\nDefaultBindAddress=0.0.0.0\nKeep=1\n");
		EXPECT_TRUE(contains(readWhole(project() / "Saved" / "Config" / "RemoteControl.ini"), "bAutoStartWebServer=True"));

		ASSERT_EQ(settings({"set", "bEnableWebRemote", "False"}).exitCode, 0);
		EXPECT_EQ(readWhole(engineIni()), "[HTTPServer.Listeners]\nKeep=1\n");
	}

	TEST_F(SettingsEdit, AReadOnlyProjectIsAClearErrorNotACrash)
	{
		ASSERT_EQ(settings({}).exitCode, 0);
		if (::geteuid() == 0)
		{
			GTEST_SKIP() << "root writes through read-only folders";
		}
		std::filesystem::permissions(project() / "Config", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
		std::filesystem::create_directories(project() / "Saved");
		std::filesystem::permissions(project() / "Saved", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
		const RunResult result = settings({"set", "bShouldBroadcastRecord", "true"});
		std::filesystem::permissions(project() / "Config", std::filesystem::perms::owner_all);
		std::filesystem::permissions(project() / "Saved", std::filesystem::perms::owner_all);
		EXPECT_EQ(result.exitCode, 1) << result.err;
		EXPECT_TRUE(contains(result.err, "cannot write the configuration")) << result.err;
		EXPECT_TRUE(contains(result.err, "Permission denied")) << result.err;
	}

	TEST_F(SettingsEdit, AnUnwritableConfigFileIsAClearErrorNotACrash)
	{
		// A folder where the file should be cannot be written over, whoever runs the test.
		std::filesystem::create_directories(engineIni());
		RunResult result = settings({"set", "bEnableWebRemote", "true"});
		EXPECT_EQ(result.exitCode, 1) << result.err;
		EXPECT_TRUE(contains(result.err, "cannot write the configuration: " + engineIni().string())) << result.err;
		EXPECT_FALSE(std::filesystem::exists(defaultGame()));

		std::filesystem::remove(engineIni());
		std::filesystem::create_directories(defaultGame());
		result = settings({"set", "bShouldBroadcastRecord", "true"});
		EXPECT_EQ(result.exitCode, 1) << result.err;
		EXPECT_TRUE(contains(result.err, "cannot write the configuration: " + defaultGame().string())) << result.err;
	}

	TEST_F(SettingsRefusal, AnUnknownNameIsRefusedAndNothingIsWritten)
	{
		const RunResult result = settings({"set", "bNoSuchThing", "true"});
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_TRUE(contains(result.err, "no setting named 'bNoSuchThing'")) << result.err;
		EXPECT_FALSE(std::filesystem::exists(defaultGame()));
		EXPECT_FALSE(std::filesystem::exists(engineIni()));
	}

	TEST_F(SettingsRefusal, AValueOfTheWrongTypeIsRefusedAndNothingIsWritten)
	{
		for (const std::vector<std::string>& args : {std::vector<std::string>{"set", "bShouldBroadcastRecord", "maybe"},
				 std::vector<std::string>{"set", "bShouldBroadcastRecord", "true", "false"}, std::vector<std::string>{"set", "bShouldBroadcastRecord"}})
		{
			const RunResult result = settings(args);
			EXPECT_EQ(result.exitCode, 2) << args.back();
			EXPECT_TRUE(contains(result.err, "bShouldBroadcastRecord")) << result.err;
		}
		EXPECT_FALSE(std::filesystem::exists(defaultGame()));
		EXPECT_FALSE(std::filesystem::exists(engineIni()));
	}

	TEST_F(SettingsRefusal, AnEditBlockedByItsEditConditionIsRefusedAndNothingIsWritten)
	{
		write(defaultGame(), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=False\n");
		const RunResult result = settings({"set", "OtherMultiEngineIps", "10.0.0.2"});
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_TRUE(contains(result.err, "OtherMultiEngineIps can only be edited while bMultiEngineMaster is true")) << result.err;
		EXPECT_EQ(readWhole(defaultGame()), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=False\n");
		EXPECT_FALSE(std::filesystem::exists(engineIni()));
	}

	TEST_F(SettingsPage, EachValueNamesTheLayerItWasReadFrom)
	{
		write(defaultGame(), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\nbShouldBroadcastRecord=False\n");
		write(project() / "Saved" / "Config" / "Game.ini", "[/Script/QuarnLive.QuarnLiveSettings]\nbShouldBroadcastRecord=True\n");
		const RunResult result = settings({});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		EXPECT_TRUE(contains(result.out, "(bMultiEngineMaster) = True\n")) << result.out;
		EXPECT_TRUE(contains(result.out, "(bShouldBroadcastRecord) = True\n")) << "the saved layer is read over the Default file\n"
																			   << result.out;
		const std::size_t master = result.out.find("(bMultiEngineMaster)");
		const std::size_t record = result.out.find("(bShouldBroadcastRecord)");
		EXPECT_NE(result.out.find("(from Config/DefaultGame.ini)", master), std::string::npos) << result.out;
		EXPECT_LT(result.out.find("(from Config/DefaultGame.ini)", master), result.out.find("(bShouldBroadcastPIE)")) << result.out;
		EXPECT_LT(result.out.find("(from Saved/Config/Game.ini)", record), result.out.find("(bDisableMultiEngine)")) << result.out;
		EXPECT_FALSE(contains(result.out.substr(result.out.find("(bShouldBroadcastPIE)"), result.out.find("(bShouldBroadcastRecord)") - result.out.find("(bShouldBroadcastPIE)")), "(from "))
			<< "a class default comes from no file\n"
			<< result.out;
	}

	TEST_F(SettingsRefusal, AValueWithALineBreakOrControlCharacterIsRefusedAndNothingIsWritten)
	{
		const std::string before = "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\n";
		write(defaultGame(), before);
		const std::vector<std::string> hostile = {"10.0.0.3\nbDisableMultiEngine=True\n[/Script/X.Y]\nOwner=A", "10.0.0.3\r", "a\tb", std::string("a\x01") + "b", "a\x7f"};
		for (const std::string& value : hostile)
		{
			const RunResult result = settings({"set", "OtherMultiEngineIps", "10.0.0.2", value});
			EXPECT_EQ(result.exitCode, 2) << value;
			EXPECT_TRUE(contains(result.err, "a value for OtherMultiEngineIps cannot hold a line break or other control character")) << result.err;
			EXPECT_EQ(readWhole(defaultGame()), before) << value;
		}
		EXPECT_FALSE(std::filesystem::exists(engineIni()));
	}

	TEST_F(SettingsEdit, AnyAcceptedTextReadsBackUnchangedInAFreshEngine)
	{
		write(defaultGame(), "[/Script/QuarnLive.QuarnLiveSettings]\nbMultiEngineMaster=True\n");
		const std::vector<std::string> values = {"[/Script/X.Y] tail", "Owner=A", "; not a comment", "say \"hi\"", "  edges  ", "C:\\new\\x41", "+Key=1"};
		std::vector<std::string> args = {"set", "OtherMultiEngineIps"};
		args.insert(args.end(), values.begin(), values.end());
		const RunResult set = settings(args);
		ASSERT_EQ(set.exitCode, 0) << set.err;

		const std::string text = readWhole(defaultGame());
		EXPECT_EQ(std::count(text.begin(), text.end(), '['), 2) << "one section header, and the element that starts like one\n"
																<< text;
		EXPECT_FALSE(contains(text, "\nOwner=")) << text;
		const RunResult shown = settings({});
		ASSERT_EQ(shown.exitCode, 0) << shown.err;
		EXPECT_EQ(valueAfter(shown.out, "(OtherMultiEngineIps) = "), valueAfter(set.out, "OtherMultiEngineIps = "))
			<< "what set accepted is what a fresh engine shows\n"
			<< set.out << shown.out;
		for (const std::string& value : {std::string("Owner=A"), std::string("; not a comment"), std::string("+Key=1")})
		{
			EXPECT_TRUE(contains(valueAfter(shown.out, "(OtherMultiEngineIps) = "), value)) << value << "\n"
																							<< shown.out;
		}
	}
} // namespace
