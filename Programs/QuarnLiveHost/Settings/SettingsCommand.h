#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnlive::settings
{
	struct SettingsOptions
	{
		std::optional<std::filesystem::path> project;
		/** The property to change (its C++ name, any case); empty to only show the page. */
		std::string name;
		/** One value for a single property; one value per element for an array, none to empty it. */
		std::vector<std::string> values;
		/** One JSON object per page (or per saved change) instead of text. */
		bool json = false;
	};

	/**
	 * `quarnlive settings`: boots the editor with the plug-in and prints every registered
	 * settings page as the editor shows it, from the property descriptors.
	 */
	void showSettings(const SettingsOptions& options, std::FILE* out);

	/**
	 * `quarnlive settings set NAME VALUE...`: changes the property on its page's settings object
	 * as the editor does (change, modified notification, save when that agrees). Throws
	 * InputError, with nothing written, for an unknown name, a value of the wrong type or an
	 * edit its edit condition blocks; RuntimeFailure when a configuration file cannot be written.
	 */
	void setSetting(const SettingsOptions& options, std::FILE* out);
} // namespace quarnlive::settings
