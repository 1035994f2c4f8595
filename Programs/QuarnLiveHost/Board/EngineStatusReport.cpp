#include "Board/EngineStatusReport.h"

#include "QuarnMultiEngineSubsystem.h"
#include "QuarnStatusSubsystem.h"

namespace quarnlive::board
{
	namespace
	{
		std::string roleOf(UQuarnMultiEngineSubsystem* multiEngine)
		{
			if (!multiEngine || !multiEngine->IsEnabled())
			{
				return "disabled";
			}
			return multiEngine->IsMaster() ? "master" : "follower";
		}
	} // namespace

	EngineStatusReport::EngineStatusReport(bool gameRun, std::function<void(const quarn::EngineReport&)> changed)
		: gameRun_(gameRun)
		, changed_(std::move(changed))
	{
	}

	void EngineStatusReport::poll()
	{
		if (!UQuarnStatusSubsystem::Get())
		{
			return;
		}
		quarn::EngineReport report;
		report.role = roleOf(UQuarnMultiEngineSubsystem::Get());
		for (const output::NamedStatus& status : watcher_.snapshot())
		{
			// The media module's video statuses go to the master from game runs only.
			const bool videoStatus = status.name == "VideoInput" || status.name == "VideoOutput";
			if (!status.watched || (videoStatus && !gameRun_))
			{
				continue;
			}
			quarn::ReportedStatus reported;
			reported.name = status.name;
			reported.color[0] = status.value.color.R;
			reported.color[1] = status.value.color.G;
			reported.color[2] = status.value.color.B;
			reported.color[3] = status.value.color.A;
			reported.message = status.value.message;
			report.statuses.push_back(std::move(reported));
		}
		if (last_ && last_->role == report.role && last_->statuses == report.statuses)
		{
			return;
		}
		report.revision = last_ ? last_->revision + 1 : 1;
		last_ = report;
		changed_(report);
	}
} // namespace quarnlive::board
