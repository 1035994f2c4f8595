#include "Scenario/ScenarioFiles.h"

#include "Errors.h"

#include <array>
#include <fstream>

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
		const std::filesystem::path file = resolveFile(name);
		std::ifstream stream(file, std::ios::binary);
		if (!stream)
		{
			throw InputError(path, "cannot read the PNG file " + file.string());
		}
		static constexpr std::array<unsigned char, 8> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
		std::array<char, 8> start{};
		stream.read(start.data(), start.size());
		if (stream.gcount() != static_cast<std::streamsize>(start.size())
			|| !std::equal(signature.begin(), signature.end(), start.begin(), [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }))
		{
			throw InputError(path, file.string() + " is not a PNG file");
		}
	}
} // namespace quarnlive::scenario
