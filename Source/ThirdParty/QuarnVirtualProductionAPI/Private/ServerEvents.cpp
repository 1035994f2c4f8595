#include "ServerEvents.h"

namespace quarn
{
	const char* outcomeText(CommandOutcome outcome)
	{
		switch (outcome)
		{
		case CommandOutcome::Raised:
			return "raised";
		case CommandOutcome::Master:
			return "master";
		case CommandOutcome::Disabled:
			return "disabled";
		case CommandOutcome::RunningAsGame:
			return "running as a game";
		case CommandOutcome::SubsystemGone:
			return "subsystem gone";
		case CommandOutcome::Stale:
			return "stale";
		}
		return "unknown";
	}

	const char* lossText(LossReason reason)
	{
		switch (reason)
		{
		case LossReason::Restarted:
			return "restarted";
		case LossReason::Deadline:
			return "deadline";
		case LossReason::Overflow:
			return "overflow";
		}
		return "unknown";
	}

	void ServerObserver::followerDown(const std::string&, std::chrono::milliseconds) {}
	void ServerObserver::followerUp(const std::string&, std::chrono::milliseconds, bool) {}
	void ServerObserver::commandsLost(const std::string&, const std::vector<uint64_t>&, LossReason) {}
	void ServerObserver::sessionRestored(const std::string&, std::chrono::milliseconds, uint32_t) {}
	void ServerObserver::commandApplied(const std::string&, uint64_t, const AppliedReceipt&) {}
	void ServerObserver::engineReported(const std::string&, const EngineReport&) {}
	void ServerObserver::timecodeSampled(const std::string&, const TimecodeSample&) {}
	void ServerObserver::masterSilent(const std::string&) {}
	void ServerObserver::masterBack(const std::string&, std::chrono::milliseconds) {}
}
