#include "Scenario/ScenarioFiles.h"

#include "Errors.h"
#include "Scenario/PngCheck.h"

#include <optional>

namespace quarnlive::scenario
{
	namespace
	{
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
		if (const std::optional<std::string> problem = findPngProblem(resolveFile(name)))
		{
			throw InputError(path, *problem);
		}
	}
} // namespace quarnlive::scenario
