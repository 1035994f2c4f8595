#include "Output/LogForwarder.h"

#include "Misc/OutputDeviceRedirector.h"

namespace quarnlive::output
{
	LogForwarder::LogForwarder(Reporter& reporter, std::function<Stamp()> now, std::FILE* errorStream)
		: reporter_(reporter)
		, now_(std::move(now))
		, errorStream_(errorStream)
	{
		GLog->AddOutputDevice(this);
	}

	LogForwarder::~LogForwarder()
	{
		GLog->RemoveOutputDevice(this);
	}

	void LogForwarder::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		const ELogVerbosity::Type level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		if (Category == FName(TEXT("LogQuarnLive")))
		{
			reporter_.log(now_(), Category.ToString().ToStdString(), ToString(level), Message);
			return;
		}
		if (level == ELogVerbosity::Error || level == ELogVerbosity::Fatal)
		{
			std::fprintf(errorStream_, "quarnlive: %s: %s: %s\n", *Category.ToString(), ToString(level), Message);
		}
	}
} // namespace quarnlive::output
