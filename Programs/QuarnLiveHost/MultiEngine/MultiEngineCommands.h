#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace CLI
{
	class App;
}

namespace quarnlive::multiengine
{
	/** What the command line said to `engine`, `broadcast` and `timecode`. */
	struct Options
	{
		std::string role;
		std::string bind;
		std::optional<std::filesystem::path> project;
		std::optional<std::string> followers;
		bool json = false;
		/** engine: trace lines (--trace). */
		bool trace = false;
		/** broadcast: the command and its arguments; timecode: the address. */
		std::vector<std::string> words;
		std::string address;
		int waitMilliseconds = 3000;
		/** The studio key file and the masters allow-list, when given. */
		std::optional<std::string> keyFile;
		std::optional<std::string> masters;
		/** engine: commands later than this are not raised but reported stale. */
		std::optional<int> maxLateMilliseconds;
		/** engine, as master: serve the stage board on this port of boardBind. */
		std::optional<int> boardPort;
		std::string boardBind = "127.0.0.1";
		/** engine, as master: the session's record, one JSON object a line. */
		std::optional<std::filesystem::path> timeline;
	};

	/** Adds the `engine`, `broadcast` and `timecode` subcommands. */
	void addCommands(CLI::App& app, Options& options);

	/** Whether the command line chose one of the three. */
	bool chosen(const CLI::App& app);

	/**
	 * Runs whichever of the three the command line chose. Throws
	 * InputError (exit 2) for bad arguments and RuntimeFailure (exit 1) when the engine
	 * cannot run, a follower does not acknowledge or a timecode does not come.
	 */
	void runChosen(const CLI::App& app, const Options& options, std::FILE* out);

	/** `quarnlive engine`: a live engine that prints its events and, as master, broadcasts what stdin says. */
	void runEngine(const Options& options, std::FILE* out);
	/** `quarnlive broadcast`: one command from a short-lived master, then who acknowledged it. */
	void runBroadcast(const Options& options, std::FILE* out);
	/** `quarnlive timecode`: one engine's timecode and the round trip it took. */
	void runTimecode(const Options& options, std::FILE* out);
} // namespace quarnlive::multiengine
