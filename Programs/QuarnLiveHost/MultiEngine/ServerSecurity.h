#pragma once

#include "StudioKey.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::multiengine
{
	/** The project's settings of the server library: which key file, which masters. */
	constexpr const char* serverSettingsSection = "QuarnVirtualProductionAPI.Server";

	/** Who may command an engine: the studio key and the masters allow-list. */
	struct ServerSecurity
	{
		/** Null: no studio key, plain OSC accepted. */
		std::shared_ptr<const quarn::StudioKey> studioKey;
		/** Canonical addresses; empty: any host. */
		std::vector<std::string> masters;

		/** "accepting commands from 127.0.0.1 (studio key)", for the ready line. */
		std::string acceptingText() const;
	};

	/** The key in a key file; InputError naming `place` when it is missing, too open, empty or too short. */
	std::shared_ptr<const quarn::StudioKey> loadStudioKey(const std::filesystem::path& file, const std::string& place);

	/**
	 * The command line's --key-file and --masters, each falling back to the project's
	 * Config/DefaultEngine.ini, section [QuarnVirtualProductionAPI.Server]: StudioKeyFile
	 * (relative to the project folder) and +Masters lines. Throws InputError (exit 2) for a
	 * bad key file or address, before any engine starts.
	 */
	ServerSecurity resolveServerSecurity(const std::optional<std::string>& keyFile, const std::optional<std::string>& masters,
		const std::optional<std::filesystem::path>& projectDir);

	/** Hands the key and the allow-list to the process-wide server for its next start. */
	void useServerSecurity(const ServerSecurity& security);
} // namespace quarnlive::multiengine
