#pragma once

#include "Misc/OutputDevice.h"
#include "Output/Reporter.h"

#include <cstdio>
#include <functional>

namespace quarnlive::output
{
	/**
	 * Installed on the engine's log while the engine runs: the module's lines (LogQuarnLive)
	 * go to the reporter; errors of other categories go to stderr so they never mix with
	 * the report.
	 */
	class LogForwarder final : public FOutputDevice
	{
	public:
		LogForwarder(Reporter& reporter, std::function<Stamp()> now, std::FILE* errorStream);
		~LogForwarder() override;

		void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;

	private:
		Reporter& reporter_;
		std::function<Stamp()> now_;
		std::FILE* errorStream_;
	};
} // namespace quarnlive::output
