// Several `quarnlive settings set` at once on one project, and writers that died mid-write.

#include "HostRun.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
	using quarnlive::test::readWhole;

	class SettingsWriters : public quarnlive::test::HostTest
	{
	protected:
		std::filesystem::path defaultGame() const { return project() / "Config" / "DefaultGame.ini"; }

		/** Starts `quarnlive settings set NAME VALUE` without waiting; its output goes to files of its own. */
		pid_t start(const std::string& name, const std::string& value, int index) const
		{
			const std::string tag = std::to_string(index);
			std::vector<std::string> argv = {QUARNLIVE_EXE, "settings", "set", name, value, "--project", project().string()};
			std::vector<char*> raw;
			for (std::string& arg : argv)
			{
				raw.push_back(arg.data());
			}
			raw.push_back(nullptr);
			const std::string out = (scratch / ("out-" + tag)).string();
			const std::string err = (scratch / ("err-" + tag)).string();
			posix_spawn_file_actions_t actions;
			posix_spawn_file_actions_init(&actions);
			posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			pid_t pid = 0;
			const int error = posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ);
			posix_spawn_file_actions_destroy(&actions);
			EXPECT_EQ(error, 0) << std::strerror(error);
			return error == 0 ? pid : -1;
		}

		int finish(pid_t pid) const
		{
			int status = 0;
			if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
			{
				return -1;
			}
			return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
		}

		static bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
	};

	TEST_F(SettingsWriters, TwoConcurrentEditsOfDifferentPropertiesBothLand)
	{
		// Each round starts both writers together; a lost update shows as a False left behind.
		constexpr int Rounds = 12;
		for (int round = 0; round < Rounds; ++round)
		{
			std::filesystem::create_directories(defaultGame().parent_path());
			std::ofstream(defaultGame()) << "[/Script/QuarnLive.QuarnLiveSettings]\nbShouldBroadcastRecord=False\nbMultiEngineMaster=False\n";
			const std::array<pid_t, 2> writers = {start("bShouldBroadcastRecord", "true", 2 * round), start("bMultiEngineMaster", "true", 2 * round + 1)};
			EXPECT_EQ(finish(writers[0]), 0) << readWhole(scratch / ("err-" + std::to_string(2 * round)));
			EXPECT_EQ(finish(writers[1]), 0) << readWhole(scratch / ("err-" + std::to_string(2 * round + 1)));

			const std::string text = readWhole(defaultGame());
			ASSERT_TRUE(contains(text, "bShouldBroadcastRecord=True\n")) << "round " << round << ":\n"
																		 << text;
			ASSERT_TRUE(contains(text, "bMultiEngineMaster=True\n")) << "round " << round << ":\n"
																	 << text;
			// What an engine reads: the per-user layer must not bring back either False.
			const std::string shown = run({"settings", "--project", project().string()}).out;
			ASSERT_TRUE(contains(shown, "(bShouldBroadcastRecord) = True") && contains(shown, "(bMultiEngineMaster) = True")) << "round " << round << ":\n"
																															  << shown;
		}
	}

	TEST_F(SettingsWriters, TheNextWriteRemovesTemporaryFilesOfWritersThatDied)
	{
		std::filesystem::create_directories(defaultGame().parent_path());
		std::ofstream(defaultGame()) << "[/Script/QuarnLive.QuarnLiveSettings]\nbShouldBroadcastRecord=False\n";
		// What a writer killed between writing its temporary file and renaming it leaves.
		std::ofstream(defaultGame().string() + ".tmp.4242") << "[/Script/QuarnLive.QuarnLiveSettings]\nbShouldBroadcastRecord=Half\n";
		std::ofstream(defaultGame().string() + ".tmp.77") << "";
		std::ofstream(project() / "Config" / "Notes.tmp.1") << "not ours";

		const quarnlive::test::RunResult shown = run({"settings", "--project", project().string()});
		EXPECT_TRUE(contains(shown.out, "(bShouldBroadcastRecord) = False")) << "a temporary file is never read as configuration\n"
																			 << shown.out;
		EXPECT_TRUE(std::filesystem::exists(defaultGame().string() + ".tmp.4242")) << "reading removes nothing";

		EXPECT_EQ(finish(start("bShouldBroadcastRecord", "true", 0)), 0);
		EXPECT_FALSE(std::filesystem::exists(defaultGame().string() + ".tmp.4242"));
		EXPECT_FALSE(std::filesystem::exists(defaultGame().string() + ".tmp.77"));
		EXPECT_TRUE(std::filesystem::exists(project() / "Config" / "Notes.tmp.1")) << "only the config file's own temporary files go";
		EXPECT_TRUE(contains(readWhole(defaultGame()), "bShouldBroadcastRecord=True\n"));
	}
} // namespace
