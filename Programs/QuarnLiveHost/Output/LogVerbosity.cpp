#include "Output/LogVerbosity.h"

#include "Errors.h"

#include "Logging/LogCategoryRegistry.h"

#include <utility>

namespace quarnlive::output
{
	void setLogVerbosities(const std::vector<std::string>& settings)
	{
		std::vector<std::pair<FLogCategoryBase*, ELogVerbosity::Type>> changes;
		for (const std::string& setting : settings)
		{
			const std::size_t equals = setting.find('=');
			if (equals == std::string::npos || equals == 0 || equals + 1 == setting.size())
			{
				throw InputError("--log-verbosity", "expected CATEGORY=LEVEL (such as LogQuarnLive=Verbose), got \"" + setting + "\"");
			}
			const std::string category = setting.substr(0, equals);
			const std::string level = setting.substr(equals + 1);
			FLogCategoryBase* found = FindLogCategory(FName(FString(category)));
			if (!found)
			{
				throw InputError("--log-verbosity", "no log category named \"" + category + "\"");
			}
			const ELogVerbosity::Type verbosity = ParseLogVerbosityFromString(level.c_str());
			if (verbosity == ELogVerbosity::NoLogging && level != ToString(ELogVerbosity::NoLogging))
			{
				throw InputError("--log-verbosity", "unknown level \"" + level + "\": expected NoLogging, Fatal, Error, Warning, Display, Log, Verbose or VeryVerbose");
			}
			changes.emplace_back(found, verbosity);
		}
		for (const auto& [category, verbosity] : changes)
		{
			category->SetVerbosity(verbosity);
		}
	}
} // namespace quarnlive::output
