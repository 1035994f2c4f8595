#pragma once

#include <cstdio>
#include <string>

namespace quarnlive::reflect
{
	struct ReflectOptions
	{
		/** A class, struct or enum, with or without its prefix ("QuarnLiveSettings", "UQuarnLiveSettings"). */
		std::string name;
		bool json = false;
	};

	/**
	 * `quarnlive reflect`: what the header tool generated for a reflected type: flags,
	 * metadata (categories, display names, tooltips), config section, properties and
	 * functions in declaration order, and the class default object's values as compiled
	 * (no project configuration is read). Throws InputError for an unknown name.
	 */
	void reflectType(const ReflectOptions& options, std::FILE* out);
} // namespace quarnlive::reflect
