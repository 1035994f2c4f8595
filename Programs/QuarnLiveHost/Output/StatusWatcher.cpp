#include "Output/StatusWatcher.h"

#include "Errors.h"
#include "QuarnStatus.h"
#include "QuarnStatusSubsystem.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/Class.h"

#include <algorithm>
#include <array>

namespace quarnlive::output
{
	namespace
	{
		// Editor runs show the media module's VideoInput and VideoOutput too: they change there as well.
		constexpr std::array<const char*, 6> watchedStatuses = {"TrackingStatus", "LensStatus", "VideoStatus", "SyncStatus", "VideoInput", "VideoOutput"};

		bool contains(const auto& names, const std::string& name)
		{
			return std::find(names.begin(), names.end(), name) != names.end();
		}

		/** Null only when a scenario took the subsystem away ("status.present"); then there is nothing to show. */
		const UQuarnStatusSubsystem* subsystem()
		{
			const UQuarnStatusSubsystem* statusSubsystem = UQuarnStatusSubsystem::Get();
			if (!statusSubsystem && FSubsystemAvailability::IsAvailable(UQuarnStatusSubsystem::StaticClass()))
			{
				throw RuntimeFailure("the status subsystem does not exist (is the QuarnLive module loaded?)");
			}
			return statusSubsystem;
		}

		StatusValue read(const FProperty& property, const UQuarnStatusSubsystem& owner)
		{
			const FQuarnStatus& status = *static_cast<const FQuarnStatus*>(property.ContainerPtrToValuePtr(&owner));
			return StatusValue{status.Color, status.Message.ToStdString()};
		}
	} // namespace

	StatusWatcher::StatusWatcher()
	{
		for (const FProperty* property : UQuarnStatusSubsystem::StaticClass()->GetAllProperties())
		{
			if (property->GetStruct() != FQuarnStatus::StaticStruct())
			{
				continue;
			}
			const std::string name = property->GetName().ToStdString();
			const bool watched = contains(watchedStatuses, name);
			statuses_.push_back(Watched{property, name, watched, false, StatusValue{}});
		}
	}

	void StatusWatcher::poll(const Stamp& stamp, Reporter& reporter)
	{
		const UQuarnStatusSubsystem* owner = subsystem();
		if (!owner)
		{
			return;
		}
		for (Watched& status : statuses_)
		{
			if (!status.watched)
			{
				continue;
			}
			const StatusValue current = read(*status.property, *owner);
			if (!status.reported || !(current == status.last))
			{
				status.reported = true;
				status.last = current;
				reporter.status(stamp, status.name, current);
			}
		}
	}

	std::vector<NamedStatus> StatusWatcher::snapshot() const
	{
		const UQuarnStatusSubsystem* owner = subsystem();
		std::vector<NamedStatus> result;
		if (!owner)
		{
			return result;
		}
		for (const Watched& status : statuses_)
		{
			result.push_back(NamedStatus{status.name, read(*status.property, *owner), status.watched});
		}
		return result;
	}
} // namespace quarnlive::output
