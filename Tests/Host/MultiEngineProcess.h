#pragma once

// A `quarnlive` child process to talk to: its standard input is a pipe the test writes
// lines to, its standard output a pipe read line by line with bounded waits.

#include "SpawnProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quarnlive::test
{
	using namespace std::chrono_literals;

	class EngineProcess
	{
	public:
		EngineProcess(const std::vector<std::string>& args, const std::filesystem::path& errFile)
			: errFile_(errFile)
		{
			int input[2];
			int output[2];
			// Close-on-exec, so no other engine the test starts holds this one's input open.
			if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
			{
				ADD_FAILURE() << "pipe: " << std::strerror(errno);
				return;
			}
			posix_spawn_file_actions_t actions;
			posix_spawn_file_actions_init(&actions);
			posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
			posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
			posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			const int spawnError = spawnProcess(QUARNLIVE_EXE, args, actions, pid_);
			posix_spawn_file_actions_destroy(&actions);
			::close(input[0]);
			::close(output[1]);
			toChild_ = input[1];
			fromChild_ = output[0];
			if (spawnError != 0)
			{
				ADD_FAILURE() << "cannot start " << QUARNLIVE_EXE << ": " << std::strerror(spawnError);
				pid_ = -1;
			}
		}

		~EngineProcess()
		{
			closeInput();
			if (pid_ > 0)
			{
				::kill(pid_, SIGKILL);
				::waitpid(pid_, nullptr, 0);
			}
			if (fromChild_ >= 0)
			{
				::close(fromChild_);
			}
		}

		EngineProcess(const EngineProcess&) = delete;
		EngineProcess& operator=(const EngineProcess&) = delete;

		void send(const std::string& line)
		{
			const std::string text = line + "\n";
			ASSERT_EQ(::write(toChild_, text.data(), text.size()), static_cast<ssize_t>(text.size())) << "writing to the engine failed";
		}

		void closeInput()
		{
			if (toChild_ >= 0)
			{
				::close(toChild_);
				toChild_ = -1;
			}
		}

		void signal(int number) { ::kill(pid_, number); }

		/** What the process wrote to standard error so far (sanitizer reports land there too). */
		std::string errorOutput() const
		{
			std::ifstream stream(errFile_, std::ios::binary);
			return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
		}

		/** Every line printed so far. */
		const std::vector<std::string>& lines() const { return lines_; }

		/** Lines that are JSON objects of the given type. */
		std::vector<nlohmann::json> linesOfType(const std::string& type) const
		{
			std::vector<nlohmann::json> result;
			for (const std::string& line : lines_)
			{
				const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
				if (value.is_object() && value.value("type", "") == type)
				{
					result.push_back(value);
				}
			}
			return result;
		}

		/** Reads until count lines satisfy match, or the time is up; true when they did. */
		bool waitForLines(const std::function<bool(const std::string&)>& match, std::size_t count, std::chrono::milliseconds timeout)
		{
			const auto deadline = std::chrono::steady_clock::now() + timeout;
			while (countOf(match) < count)
			{
				const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
				if (left.count() <= 0 || !readSome(left))
				{
					return countOf(match) >= count;
				}
			}
			return true;
		}

		/** Waits for count JSON lines of the type. */
		bool waitForType(const std::string& type, std::size_t count = 1, std::chrono::milliseconds timeout = 60s)
		{
			return waitForLines([&type](const std::string& line) {
				const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
				return value.is_object() && value.value("type", "") == type;
			},
				count, timeout);
		}

		/** Reads to the end of output and reaps the process; its exit code, or -1 after killing it at the deadline. */
		int waitForExit(std::chrono::milliseconds timeout = 60s)
		{
			const auto deadline = std::chrono::steady_clock::now() + timeout;
			for (;;)
			{
				const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
				if (left.count() <= 0)
				{
					ADD_FAILURE() << "the engine did not end in time";
					return -1;
				}
				if (!readSome(left))
				{
					break;
				}
			}
			int status = 0;
			while (std::chrono::steady_clock::now() < deadline)
			{
				const pid_t done = ::waitpid(pid_, &status, WNOHANG);
				if (done == pid_)
				{
					pid_ = -1;
					return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
				}
				::poll(nullptr, 0, 10);
			}
			ADD_FAILURE() << "the engine closed its output but did not exit";
			return -1;
		}

	private:
		std::size_t countOf(const std::function<bool(const std::string&)>& match) const
		{
			std::size_t count = 0;
			for (const std::string& line : lines_)
			{
				count += match(line) ? 1 : 0;
			}
			return count;
		}

		/** Waits up to timeout for output; false at its end or when nothing came in time. */
		bool readSome(std::chrono::milliseconds timeout)
		{
			pollfd output = {fromChild_, POLLIN, 0};
			if (::poll(&output, 1, static_cast<int>(timeout.count())) <= 0)
			{
				return false;
			}
			char buffer[4096];
			const ssize_t count = ::read(fromChild_, buffer, sizeof(buffer));
			if (count <= 0)
			{
				return false;
			}
			pending_.append(buffer, static_cast<std::size_t>(count));
			for (std::size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n'))
			{
				lines_.push_back(pending_.substr(0, end));
				pending_.erase(0, end + 1);
			}
			return true;
		}

		std::filesystem::path errFile_;
		pid_t pid_ = -1;
		int toChild_ = -1;
		int fromChild_ = -1;
		std::string pending_;
		std::vector<std::string> lines_;
	};
} // namespace quarnlive::test
