#include "Scenario/ScenarioFiles.h"

#include "Errors.h"
#include "Scenario/PngCheck.h"

#include <map>
#include <optional>

namespace quarnlive::scenario
{
	namespace
	{
		// Not run state: the loader sets it before the first check reads it, and a process loads
		// one scenario, so it stays put for the rest of the process.
		std::filesystem::path& baseFolder()
		{
			static std::filesystem::path folder;
			return folder;
		}
	} // namespace

	void setBaseFolder(const std::filesystem::path& folder)
	{
		baseFolder() = folder;
	}

	std::filesystem::path resolveFile(const std::string& name)
	{
		const std::filesystem::path file(name);
		return file.is_absolute() || baseFolder().empty() ? file : baseFolder() / file;
	}

	void checkPngFile(const std::string& name, const std::string& path)
	{
		if (name.empty())
		{
			throw InputError(path, "a PNG file needs a name");
		}
		// Every timeline patch checks the whole state again, pictures included: judge each file once.
		static std::map<std::string, std::optional<std::string>> problems;
		const std::filesystem::path file = resolveFile(name);
		const auto [verdict, isNew] = problems.try_emplace(file.string());
		if (isNew)
		{
			verdict->second = findPngProblem(file);
		}
		if (verdict->second)
		{
			throw InputError(path, *verdict->second);
		}
	}
} // namespace quarnlive::scenario
