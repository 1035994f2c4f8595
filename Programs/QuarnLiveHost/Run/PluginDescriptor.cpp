#include "Run/PluginDescriptor.h"

#include "Errors.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace quarnlive::run
{
	std::vector<std::string> readModuleNames(const std::filesystem::path& descriptor)
	{
		const auto broken = [&](const std::string& problem) {
			return RuntimeFailure("plug-in descriptor " + descriptor.string() + ": " + problem);
		};
		std::ifstream stream(descriptor);
		if (!stream)
		{
			throw broken("cannot be read");
		}
		const nlohmann::ordered_json document = nlohmann::ordered_json::parse(stream, nullptr, false);
		if (document.is_discarded())
		{
			throw broken("is not valid JSON");
		}
		const auto modules = document.is_object() ? document.find("Modules") : document.end();
		if (!document.is_object() || modules == document.end() || !modules->is_array())
		{
			throw broken("has no \"Modules\" array");
		}
		std::vector<std::string> names;
		for (const nlohmann::ordered_json& module : *modules)
		{
			const auto name = module.is_object() ? module.find("Name") : module.end();
			if (!module.is_object() || name == module.end() || !name->is_string() || name->get<std::string>().empty())
			{
				throw broken("a module entry has no \"Name\"");
			}
			names.push_back(name->get<std::string>());
		}
		return names;
	}
} // namespace quarnlive::run
