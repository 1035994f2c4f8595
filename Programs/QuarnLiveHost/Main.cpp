// quarnlive: runs the Quarn Pranto plug-in in the headless engine from the command line.
// Exit codes: 0 success, 1 runtime failure, 2 bad input.

#include "Compose/ComposeCommand.h"
#include "Errors.h"
#include "MultiEngine/MultiEngineCommands.h"
#include "Reflect/ReflectCommand.h"
#include "Run/RunCommand.h"
#include "Settings/SettingsCommand.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <exception>

namespace
{
	constexpr int exitRuntimeFailure = 1;
	constexpr int exitBadInput = 2;

	void addRunOptions(CLI::App* run, quarnlive::run::RunOptions& options)
	{
		run->add_option("scenario", options.scenario, "Scenario file (default: the bundled Examples/DefaultScenario.json)");
		run->add_flag("--json", options.json, "One JSON object per line instead of text");
		run->add_flag("--realtime", options.realtime, "Pace frames by the wall clock instead of simulating them");
		run->add_flag("--trace", options.trace, "A trace line for every call the plug-in makes into the engine, its siblings and the server, and every delegate it binds");
		run->add_option("--until", options.until, "Stop when engine time reaches SECONDS (default: the scenario's duration)")
			->type_name("SECONDS")
			->check([](const std::string& text) -> std::string {
				try
				{
					std::size_t used = 0;
					const double value = std::stod(text, &used);
					return used == text.size() && std::isfinite(value) && value >= 0.0 ? std::string() : "must be a number of seconds, at least 0";
				}
				catch (const std::exception&)
				{
					return "must be a number of seconds, at least 0";
				}
			});
		run->add_option("--project", options.project, "Project folder with Config/ and Content/ (default: ~/.local/share/quarnlive/Project)")
			->type_name("DIR");
		run->add_option("--log-verbosity", options.logVerbosity, "Run a log category at another verbosity (LogQuarnLive=Verbose); repeatable")
			->type_name("CATEGORY=LEVEL")
			->take_last()
			->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
	}

	void addRunCommand(CLI::App& app, quarnlive::run::RunOptions& options)
	{
		addRunOptions(app.add_subcommand("run", "Run a scenario: studio state plus a timeline of changes and editor actions"), options);
	}

	void addComposeCommand(CLI::App& app, quarnlive::compose::ComposeOptions& options)
	{
		CLI::App* compose = app.add_subcommand("compose",
			"Run a scenario, then write the UMG context's render target and the tagged cameras' composited pictures as PNG files");
		addRunOptions(compose, options.run);
		compose->add_option("--out", options.out, "Folder for the PNG files (created when missing)")->type_name("DIR")->required();
	}

	void addSettingsCommand(CLI::App& app, quarnlive::settings::SettingsOptions& options)
	{
		CLI::App* settings = app.add_subcommand("settings", "Show the plug-in's settings pages as the editor does");
		settings->add_option("--project", options.project, "Project folder with Config/ and Content/ (default: ~/.local/share/quarnlive/Project)")
			->type_name("DIR");
		settings->add_flag("--json", options.json, "One JSON object per page (with set: per saved change) instead of text");
		CLI::App* set = settings->add_subcommand("set", "Change one setting as the settings editor does and save its page");
		set->fallthrough();
		set->add_option("name", options.name, "The setting's name, as `quarnlive settings` shows it in brackets")->required();
		set->add_option("values", options.values, "The new value; for a list, one value per element (none empties it)");
	}

	void addReflectCommand(CLI::App& app, quarnlive::reflect::ReflectOptions& options)
	{
		CLI::App* reflect = app.add_subcommand("reflect", "Show what the header tool generated for a class, struct or enum of the plug-in");
		reflect->add_option("name", options.name, "The type's name, with or without its prefix (QuarnLiveSettings)")->required();
		reflect->add_flag("--json", options.json, "One JSON object instead of text");
	}
} // namespace

int main(int argc, char** argv)
{
	CLI::App app("quarnlive: the Quarn Pranto plug-in in a headless engine", "quarnlive");
	app.require_subcommand(1);
	quarnlive::run::RunOptions runOptions;
	addRunCommand(app, runOptions);
	quarnlive::compose::ComposeOptions composeOptions;
	addComposeCommand(app, composeOptions);
	quarnlive::settings::SettingsOptions settingsOptions;
	addSettingsCommand(app, settingsOptions);
	quarnlive::reflect::ReflectOptions reflectOptions;
	addReflectCommand(app, reflectOptions);
	quarnlive::multiengine::Options multiEngineOptions;
	quarnlive::multiengine::addCommands(app, multiEngineOptions);

	try
	{
		app.parse(argc, argv);
	}
	catch (const CLI::ParseError& error)
	{
		// --help (of the program or of a subcommand) arrives as a parse "error" that succeeds.
		if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
		{
			return app.exit(error);
		}
		std::fprintf(stderr, "quarnlive: %s\nRun 'quarnlive --help' for usage.\n", error.what());
		return exitBadInput;
	}

	try
	{
		if (app.got_subcommand("run"))
		{
			quarnlive::run::runScenario(runOptions, stdout, stderr);
		}
		else if (app.got_subcommand("compose"))
		{
			quarnlive::compose::composeScenario(composeOptions, stdout, stderr);
		}
		else if (app.got_subcommand("reflect"))
		{
			quarnlive::reflect::reflectType(reflectOptions, stdout);
		}
		else if (quarnlive::multiengine::chosen(app))
		{
			quarnlive::multiengine::runChosen(app, multiEngineOptions, stdout);
		}
		else if (CLI::App* settings = app.get_subcommand("settings"); settings->parsed())
		{
			if (settings->got_subcommand("set"))
			{
				quarnlive::settings::setSetting(settingsOptions, stdout);
			}
			else
			{
				quarnlive::settings::showSettings(settingsOptions, stdout);
			}
		}
		return 0;
	}
	catch (const quarnlive::InputError& error)
	{
		std::fprintf(stderr, "quarnlive: %s\n", error.describe().c_str());
		return exitBadInput;
	}
	catch (const quarnlive::RuntimeFailure& error)
	{
		std::fprintf(stderr, "quarnlive: error: %s\n", error.what());
		return exitRuntimeFailure;
	}
	catch (const std::exception& error)
	{
		std::fprintf(stderr, "quarnlive: error: %s\n", error.what());
		return exitRuntimeFailure;
	}
}
