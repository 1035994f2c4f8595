// What an engine tells its master about itself: its role and its statuses.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn
{
	struct ReportedStatus
	{
		// "TrackingStatus", "LensStatus", ...
		std::string name;
		// The status colour as red, green, blue, alpha.
		float color[4] = {1.0f, 0.0f, 0.0f, 1.0f};
		std::string message;

		bool operator==(const ReportedStatus& other) const
		{
			return name == other.name && message == other.message && color[0] == other.color[0] && color[1] == other.color[1] && color[2] == other.color[2]
				&& color[3] == other.color[3];
		}
	};

	struct EngineReport
	{
		// Reports one datagram can carry; texts longer than these are cut on a character boundary.
		static constexpr std::size_t maxStatuses = 8;
		static constexpr std::size_t maxNameBytes = 48;
		static constexpr std::size_t maxMessageBytes = 160;
		static constexpr std::size_t maxRoleBytes = 16;

		// "master", "follower" or "disabled".
		std::string role;
		// Counts the sender's changes, so a receiver can tell a repeat from a change.
		uint32_t revision = 0;
		std::vector<ReportedStatus> statuses;

		bool operator==(const EngineReport& other) const { return role == other.role && revision == other.revision && statuses == other.statuses; }
	};
}
