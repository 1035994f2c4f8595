#include "QuarnVirtualProductionModule.h"

#include "Misc/Paths.h"

#include <fstream>
#include <sstream>
#include <string>

namespace
{
	/** The string value of Key in a JSON text, or false; enough for a plug-in descriptor's flat fields. */
	bool FindJsonString(const std::string& Json, const std::string& Key, std::string& OutValue)
	{
		const std::string QuotedKey = "\"" + Key + "\"";
		std::size_t Pos = Json.find(QuotedKey);
		if (Pos == std::string::npos)
		{
			return false;
		}
		Pos = Json.find_first_not_of(" \t\r\n", Pos + QuotedKey.size());
		if (Pos == std::string::npos || Json[Pos] != ':')
		{
			return false;
		}
		Pos = Json.find_first_not_of(" \t\r\n", Pos + 1);
		if (Pos == std::string::npos || Json[Pos] != '"')
		{
			return false;
		}
		OutValue.clear();
		for (++Pos; Pos < Json.size(); ++Pos)
		{
			const char Character = Json[Pos];
			if (Character == '"')
			{
				return true;
			}
			if (Character == '\\' && Pos + 1 < Json.size())
			{
				++Pos;
			}
			OutValue += Json[Pos];
		}
		return false;
	}
} // namespace

class FQuarnVirtualProductionModule : public IQuarnVirtualProductionModule
{
public:
	FString GetPluginVersion() const override
	{
		const FString Version = PluginVersionOverride ? PluginVersionOverride.GetValue() : ReadPluginVersion();
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("QuarnVirtualProduction"), TEXT("IQuarnVirtualProductionModule::GetPluginVersion"), {}, Version);
		}
		return Version;
	}

private:
	static FString ReadPluginVersion()
	{
		std::ifstream File((FPaths::PluginDir() + TEXT("QuarnPranto.uplugin")).ToStdString());
		if (!File)
		{
			return TEXT("0.0.0");
		}
		std::ostringstream Text;
		Text << File.rdbuf();
		std::string Version;
		if (!FindJsonString(Text.str(), "VersionName", Version) || Version.empty())
		{
			return TEXT("0.0.0");
		}
		return FString(Version);
	}
};

IMPLEMENT_MODULE(FQuarnVirtualProductionModule, QuarnVirtualProduction)
