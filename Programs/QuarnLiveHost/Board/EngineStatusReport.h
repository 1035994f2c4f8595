#pragma once

#include "Output/StatusWatcher.h"

#include "EngineReport.h"

#include <functional>
#include <optional>

namespace quarnlive::board
{
	/**
	 * This engine's role and statuses as a report for the master, read from the status
	 * subsystem each frame the way StatusWatcher reads them; hands a new report on when
	 * something changed (game thread).
	 */
	class EngineStatusReport
	{
	public:
		EngineStatusReport(bool gameRun, std::function<void(const quarn::EngineReport&)> changed);

		/** Reads the statuses and the multi-engine role; calls `changed` when they differ from the last report. */
		void poll();

	private:
		output::StatusWatcher watcher_;
		bool gameRun_;
		std::function<void(const quarn::EngineReport&)> changed_;
		std::optional<quarn::EngineReport> last_;
	};
} // namespace quarnlive::board
