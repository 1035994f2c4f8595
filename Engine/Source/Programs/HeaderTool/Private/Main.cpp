// HeaderTool --module <Module> --package /Script/<Module> --output <dir> <header>...

#include "CodeWriter.h"
#include "Diagnostics.h"
#include "HeaderParser.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{
	namespace fs = std::filesystem;

	struct Options
	{
		HeaderTool::ModuleInfo module;
		std::string outputDir;
		std::vector<std::string> headers;
	};

	int usage(const std::string& problem)
	{
		std::cerr << "HeaderTool: error: " << problem << "\n"
				  << "usage: HeaderTool --module <Module> --package /Script/<Module> --output <dir> <header>...\n";
		return 1;
	}

	bool readFile(const fs::path& path, std::string& contents)
	{
		std::ifstream stream(path, std::ios::binary);
		if (!stream)
		{
			return false;
		}
		std::ostringstream buffer;
		buffer << stream.rdbuf();
		contents = buffer.str();
		return true;
	}

	// Leaves the file untouched when its contents would not change, so dependents do not rebuild.
	bool writeIfChanged(const fs::path& path, const std::string& contents)
	{
		std::string existing;
		if (readFile(path, existing) && existing == contents)
		{
			return true;
		}
		std::ofstream stream(path, std::ios::binary | std::ios::trunc);
		stream << contents;
		return static_cast<bool>(stream.flush());
	}

	struct Output
	{
		fs::path path;
		std::string contents;
	};
}

int main(int argc, char** argv)
{
	Options options;
	for (int i = 1; i < argc; ++i)
	{
		const std::string arg = argv[i];
		const auto value = [&](std::string& target) -> bool {
			if (i + 1 >= argc)
			{
				return false;
			}
			target = argv[++i];
			return true;
		};
		if (arg == "--module")
		{
			if (!value(options.module.name))
			{
				return usage("--module needs a value");
			}
		}
		else if (arg == "--package")
		{
			if (!value(options.module.package))
			{
				return usage("--package needs a value");
			}
		}
		else if (arg == "--output")
		{
			if (!value(options.outputDir))
			{
				return usage("--output needs a value");
			}
		}
		else if (arg.size() > 1 && arg[0] == '-')
		{
			return usage("unknown option '" + arg + "'");
		}
		else
		{
			options.headers.push_back(arg);
		}
	}
	if (options.module.name.empty() || options.outputDir.empty())
	{
		return usage("--module and --output are required");
	}
	if (options.module.package.empty())
	{
		options.module.package = "/Script/" + options.module.name;
	}

	// Everything is parsed before anything is written, so a failing run leaves no partial output.
	bool bFailed = false;
	std::vector<Output> outputs;
	std::map<std::string, std::string> headerByStem;
	for (const std::string& headerPath : options.headers)
	{
		std::string source;
		if (!readFile(headerPath, source))
		{
			std::cerr << headerPath << ":1: error: cannot read file\n";
			bFailed = true;
			continue;
		}
		try
		{
			const HeaderTool::HeaderDef header = HeaderTool::parseHeader(headerPath, source);
			if (!header.bReflected)
			{
				continue;
			}
			const auto [existing, bInserted] = headerByStem.emplace(header.stem, headerPath);
			if (!bInserted)
			{
				throw HeaderTool::ParseError(1, "another header of module '" + options.module.name + "' has the same name: " + existing->second);
			}
			const fs::path dir(options.outputDir);
			outputs.push_back({dir / (header.stem + ".generated.h"), HeaderTool::writeGeneratedHeader(header, options.module)});
			outputs.push_back({dir / (header.stem + ".gen.cpp"), HeaderTool::writeGeneratedSource(header, options.module)});
		}
		catch (const HeaderTool::ParseError& error)
		{
			std::cerr << headerPath << ":" << error.line << ": error: " << error.what() << "\n";
			bFailed = true;
		}
	}
	if (bFailed)
	{
		return 1;
	}

	std::error_code ec;
	fs::create_directories(options.outputDir, ec);
	if (ec)
	{
		std::cerr << options.outputDir << ":1: error: cannot create directory: " << ec.message() << "\n";
		return 1;
	}
	for (const Output& output : outputs)
	{
		if (!writeIfChanged(output.path, output.contents))
		{
			std::cerr << output.path.string() << ":1: error: cannot write file\n";
			return 1;
		}
	}
	return 0;
}
