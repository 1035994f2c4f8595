// The command lines of `engine`, `broadcast` and `timecode`. Kept apart from the engine
// headers, whose check() macro would rewrite CLI11's member of that name.

#include "MultiEngine/MultiEngineCommands.h"

#include "MultiEngine/EngineCommand.h"

#include <CLI/CLI.hpp>

namespace quarnlive::multiengine
{
	namespace
	{
		void addProject(CLI::App& command, Options& options)
		{
			command.add_option("--project", options.project, "Project folder with Config/ and Content/ (default: ~/.local/share/quarnlive/Project)")
				->type_name("DIR");
		}

		void addBind(CLI::App& command, Options& options, const char* help)
		{
			command.add_option("--bind", options.bind, help)->type_name("ADDR")->default_str("0.0.0.0");
		}

		void addKeyFile(CLI::App& command, Options& options)
		{
			command.add_option("--key-file", options.keyFile, "Studio key file (mode 600): every datagram is authenticated, plain OSC refused")->type_name("FILE");
		}
	} // namespace

	void addCommands(CLI::App& app, Options& options)
	{
		options.bind = "0.0.0.0";

		CLI::App* engine = app.add_subcommand("engine", "Run a live engine in a multi-engine session; as master, broadcast the commands typed on stdin");
		engine->add_option("--role", options.role, "This engine's role for the run (not saved; default: the project's setting)")->check(CLI::IsMember({"master", "follower"}));
		addBind(*engine, options, "Local address the server listens on, port 10001 (default: every interface)");
		addProject(*engine, options);
		engine->add_option("--followers", options.followers, "Follower addresses A,B,... for this run instead of the project's list (not saved)")->type_name("A,B,...");
		addKeyFile(*engine, options);
		engine->add_option("--masters", options.masters, "Raise commands only from these addresses (default: from any host)")->type_name("A,B,...");
		engine->add_flag("--json", options.json, "One JSON object per line instead of text");
		engine->add_flag("--trace", options.trace, "A trace line for every call the plug-in makes into the engine, its siblings and the server, and every delegate it binds");
		engine->add_option("--max-late", options.maxLateMilliseconds, "As follower, drop commands that arrive later than this after the master sent them, and report them stale")
			->type_name("MS")
			->check(CLI::Range(1, 3600000));
		engine->add_option("--board", options.boardPort, "As master, serve the stage board on this port of 127.0.0.1 (token printed at start)")
			->type_name("PORT")
			->check(CLI::Range(1, 65535));
		engine->add_option("--board-bind", options.boardBind, "Serve the board on this address instead; anyone who can reach it and has the token can send commands")
			->type_name("ADDR")
			->default_str("127.0.0.1");
		engine->add_option("--timeline", options.timeline, "As master, append every command, receipt, status change, down/up and offset alarm to this file")
			->type_name("FILE.jsonl");

		CLI::App* broadcast = app.add_subcommand("broadcast", "Send one command as master and report which followers acknowledged it");
		broadcast->add_option("command", options.words, std::string("The command and its arguments: ") + commandSummary())->required();
		broadcast->add_option("--followers", options.followers, "Follower addresses A,B,... (default: the project's list)")->type_name("A,B,...");
		addBind(*broadcast, options, "Local address to send from, port 10001 (default: every interface)");
		addProject(*broadcast, options);
		broadcast->add_option("--wait", options.waitMilliseconds, "How long to wait for acknowledgements")->type_name("MS")->default_val(3000)->check(CLI::Range(0, 600000));
		addKeyFile(*broadcast, options);
		broadcast->add_flag("--json", options.json, "One JSON object per line instead of text");

		CLI::App* timecode = app.add_subcommand("timecode", "Ask an engine for its timecode");
		timecode->add_option("address", options.address, "The engine's address; it answers on port 10001")->required();
		addBind(*timecode, options, "Local address to ask from (default: every interface)");
		timecode->add_option("--wait", options.waitMilliseconds, "How long to wait for the answer")->type_name("MS")->default_val(3000)->check(CLI::Range(0, 600000));
		addKeyFile(*timecode, options);
		timecode->add_flag("--json", options.json, "One JSON object per line instead of text");
	}

	bool chosen(const CLI::App& app)
	{
		return app.got_subcommand("engine") || app.got_subcommand("broadcast") || app.got_subcommand("timecode");
	}

	void runChosen(const CLI::App& app, const Options& options, std::FILE* out)
	{
		if (app.got_subcommand("engine"))
		{
			runEngine(options, out);
		}
		else if (app.got_subcommand("broadcast"))
		{
			runBroadcast(options, out);
		}
		else if (app.got_subcommand("timecode"))
		{
			runTimecode(options, out);
		}
	}
} // namespace quarnlive::multiengine
