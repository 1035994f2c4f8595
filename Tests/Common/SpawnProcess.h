#pragma once

// Starts a program for an end-to-end test: the caller's file actions decide where its standard
// streams go.

#include <spawn.h>
#include <string>
#include <unistd.h>
#include <vector>

/** Starts program with args after it; returns 0, or the error number when it cannot start. */
inline int spawnProcess(const std::string& program, const std::vector<std::string>& args, const posix_spawn_file_actions_t& actions, pid_t& pid)
{
	std::vector<std::string> argv = {program};
	argv.insert(argv.end(), args.begin(), args.end());
	std::vector<char*> rawArgv;
	for (std::string& arg : argv)
	{
		rawArgv.push_back(arg.data());
	}
	rawArgv.push_back(nullptr);
	return posix_spawn(&pid, rawArgv[0], &actions, nullptr, rawArgv.data(), environ);
}
