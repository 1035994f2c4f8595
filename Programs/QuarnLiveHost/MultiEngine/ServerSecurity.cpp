#include "MultiEngine/ServerSecurity.h"

#include "Errors.h"
#include "MultiEngine/Addresses.h"

#include "Misc/ConfigCacheIni.h"
#include "QuarnVirtualProductionServer.h"

namespace quarnlive::multiengine
{
	std::string ServerSecurity::acceptingText() const
	{
		std::string from;
		for (const std::string& address : masters)
		{
			from += (from.empty() ? "" : ",") + address;
		}
		std::string text = "accepting commands from " + (from.empty() ? std::string("any host") : from);
		text += studioKey ? " (studio key" : " (no studio key";
		return text + (masters.empty() ? ", no allow-list)" : ")");
	}

	std::shared_ptr<const quarn::StudioKey> loadStudioKey(const std::filesystem::path& file, const std::string& place)
	{
		std::string problem;
		std::shared_ptr<const quarn::StudioKey> key = quarn::StudioKey::load(file.string(), problem);
		if (!key)
		{
			throw InputError(place, problem);
		}
		return key;
	}

	ServerSecurity resolveServerSecurity(const std::optional<std::string>& keyFile, const std::optional<std::string>& masters,
		const std::optional<std::filesystem::path>& projectDir)
	{
		ServerSecurity security;
		if (keyFile)
		{
			security.studioKey = loadStudioKey(*keyFile, "--key-file");
		}
		if (masters)
		{
			security.masters = parseAddressList(*masters, "--masters");
		}
		if (!projectDir || (keyFile && masters))
		{
			return security;
		}
		// Read straight from the file: the engine's own configuration is not up yet, and a
		// bad setting must stop the command before anything boots.
		const std::filesystem::path ini = *projectDir / "Config" / "DefaultEngine.ini";
		FConfigCacheIni config;
		const std::string section = std::string("[") + serverSettingsSection + "] ";
		try
		{
			FString file;
			if (!keyFile && config.GetString(serverSettingsSection, TEXT("StudioKeyFile"), file, FString(ini.string())) && !file.IsEmpty())
			{
				const std::filesystem::path path(file.ToStdString());
				security.studioKey = loadStudioKey(path.is_absolute() ? path : *projectDir / path, section + "StudioKeyFile");
			}
			TArray<FString> listed;
			if (!masters && config.GetArray(serverSettingsSection, TEXT("Masters"), listed, FString(ini.string())) > 0)
			{
				std::string joined;
				for (const FString& address : listed)
				{
					joined += (joined.empty() ? "" : ",") + address.ToStdString();
				}
				security.masters = parseAddressList(joined, section + "Masters");
			}
		}
		catch (InputError& error)
		{
			error.setFile(ini.string());
			throw;
		}
		return security;
	}

	void useServerSecurity(const ServerSecurity& security)
	{
		quarn::QuarnVirtualProductionServer& server = quarn::QuarnVirtualProductionServer::instance();
		quarn::ServerConfig config = server.config();
		config.studioKey = security.studioKey;
		config.masters = security.masters;
		server.setConfig(config);
	}
} // namespace quarnlive::multiengine
