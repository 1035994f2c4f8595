#include "Run/PluginEngineOptions.h"

namespace quarnlive::run
{
	FHeadlessEngineOptions pluginEngineOptions(bool editor, const std::filesystem::path& projectDir, const std::filesystem::path& pluginDir,
		const std::vector<std::string>& moduleNames)
	{
		FHeadlessEngineOptions options;
		options.bEditor = editor;
		options.ProjectDir = FString(projectDir.string() + "/");
		options.PluginDir = FString(pluginDir.string());
		if (editor)
		{
			options.Modules.Add(FString("Settings"));
		}
		for (const std::string& name : moduleNames)
		{
			options.Modules.Add(FString(name));
		}
		return options;
	}
} // namespace quarnlive::run
