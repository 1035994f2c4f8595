#pragma once

// Runs the built quarnlive program as a child process and hands back what it printed.
// Each test gets its own scratch folder (project folder, generated scenarios, captured output).

#include "SpawnProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quarnlive::test
{
	struct RunResult
	{
		int exitCode = -1;
		std::string out;
		std::string err;

		std::vector<std::string> lines() const
		{
			std::vector<std::string> result;
			std::istringstream stream(out);
			for (std::string line; std::getline(stream, line);)
			{
				result.push_back(line);
			}
			return result;
		}

		/** Every stdout line as JSON; a line that is not JSON fails the test. */
		std::vector<nlohmann::json> jsonLines() const
		{
			std::vector<nlohmann::json> result;
			for (const std::string& line : lines())
			{
				nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
				EXPECT_FALSE(value.is_discarded()) << "not a JSON line: " << line;
				result.push_back(std::move(value));
			}
			return result;
		}

		/** The JSON lines of one "type", in order. */
		std::vector<nlohmann::json> linesOfType(const std::string& type) const
		{
			std::vector<nlohmann::json> found;
			for (const nlohmann::json& line : jsonLines())
			{
				if (line.value("type", "") == type)
				{
					found.push_back(line);
				}
			}
			return found;
		}
	};

	inline std::string readWhole(const std::filesystem::path& file)
	{
		std::ifstream stream(file, std::ios::binary);
		return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
	}

	/** A fresh folder per test, removed afterwards. */
	class HostTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
			std::string name = std::string(info->test_suite_name()) + "-" + info->name();
			for (char& c : name)
			{
				c = std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
			}
			scratch = std::filesystem::temp_directory_path() / ("quarnlive-host-test-" + std::to_string(::getpid()) + "-" + name);
			std::filesystem::remove_all(scratch);
			std::filesystem::create_directories(scratch);
		}

		void TearDown() override
		{
			std::error_code ignored;
			std::filesystem::remove_all(scratch, ignored);
		}

		std::filesystem::path project() const { return scratch / "Project"; }

		std::filesystem::path writeScenario(const std::string& name, const nlohmann::json& scenario) const
		{
			const std::filesystem::path file = scratch / name;
			std::ofstream(file) << scenario.dump(1, '\t');
			return file;
		}

		/**
		 * Runs quarnlive with args; stdout and stderr go to files so neither can block the other.
		 * input, when given, is what the program reads on standard input.
		 */
		RunResult run(const std::vector<std::string>& args, const std::optional<std::string>& input = std::nullopt) const
		{
			const std::filesystem::path outFile = scratch / "stdout.txt";
			const std::filesystem::path errFile = scratch / "stderr.txt";
			const std::filesystem::path inFile = scratch / "stdin.txt";
			if (input)
			{
				std::ofstream(inFile, std::ios::binary) << *input;
			}
			posix_spawn_file_actions_t actions;
			posix_spawn_file_actions_init(&actions);
			if (input)
			{
				posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inFile.c_str(), O_RDONLY, 0);
			}
			posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			pid_t pid = 0;
			const int spawnError = spawnProcess(QUARNLIVE_EXE, args, actions, pid);
			posix_spawn_file_actions_destroy(&actions);

			RunResult result;
			if (spawnError != 0)
			{
				ADD_FAILURE() << "cannot start " << QUARNLIVE_EXE << ": " << std::strerror(spawnError);
				return result;
			}
			int status = 0;
			if (::waitpid(pid, &status, 0) != pid)
			{
				ADD_FAILURE() << "waitpid failed";
				return result;
			}
			result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
			result.out = readWhole(outFile);
			result.err = readWhole(errFile);
			return result;
		}

		/** `quarnlive run --json --project <scratch> <scenario> [extra]`. */
		RunResult runJson(const std::filesystem::path& scenario, const std::vector<std::string>& extra = {}) const
		{
			std::vector<std::string> args = {"run", "--json", "--project", project().string(), scenario.string()};
			args.insert(args.end(), extra.begin(), extra.end());
			return run(args);
		}

		std::filesystem::path scratch;
	};

	/** One Quarn source with one Quarn subject, StageCam, whose frame tracks (Optical Good). */
	inline nlohmann::json oneSubjectState()
	{
		return {{"liveLink",
			{{"sources",
				{{"Studio",
					{{"settings", "quarn"},
						{"subjects", {{"StageCam", {{"frame", {{"frameStatus", "Optical Good"}, {"lensDataLevel", 0.5}, {"rawZoom", 7}}}}}}}}}}}}}};
	}

	/** The status lines of one status, in order. */
	inline std::vector<nlohmann::json> statusLines(const std::vector<nlohmann::json>& lines, const std::string& name)
	{
		std::vector<nlohmann::json> result;
		for (const nlohmann::json& line : lines)
		{
			if (line.value("type", "") == "status" && line.value("name", "") == name)
			{
				result.push_back(line);
			}
		}
		return result;
	}

	/** Colour (as JSON text, "\"Red\"") and message of each change of one status. */
	using StatusSequence = std::vector<std::pair<std::string, std::string>>;

	/** The changes of one status in a --json run, the initial line included. */
	inline StatusSequence sequenceOf(const RunResult& result, const std::string& name)
	{
		StatusSequence sequence;
		for (const nlohmann::json& line : statusLines(result.jsonLines(), name))
		{
			sequence.emplace_back(line["color"].dump(), line["message"].get<std::string>());
		}
		return sequence;
	}
} // namespace quarnlive::test
