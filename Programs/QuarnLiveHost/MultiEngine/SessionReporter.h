#pragma once

#include "MultiEngine/Printer.h"

#include "ServerEvents.h"
#include "ServerStats.h"

#include <string>
#include <vector>

namespace quarnlive::multiengine
{
	/**
	 * Prints what the server tells about followers, masters and commands: followerDown,
	 * followerUp, lost, sessionRestored, receipt, masterSilent and masterBack lines. Called
	 * on the server's threads; the printer writes each line whole.
	 */
	class SessionReporter final : public quarn::ServerObserver
	{
	public:
		explicit SessionReporter(Printer& printer);

		void followerDown(const std::string& address, std::chrono::milliseconds silentFor) override;
		void followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted) override;
		void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, quarn::LossReason reason) override;
		void sessionRestored(const std::string& address, std::chrono::milliseconds gap, uint32_t resent) override;
		void commandApplied(const std::string& address, uint64_t command, const quarn::AppliedReceipt& receipt) override;
		void masterSilent(const std::string& address) override;
		void masterBack(const std::string& address, std::chrono::milliseconds silentFor) override;

	private:
		Printer& printer_;
	};

	/** "01:02:03:04". */
	std::string timecodeText(uint32_t hours, uint32_t minutes, uint32_t seconds, uint32_t frames);

	/** The `stats` line: the server's counters and each follower's round trips. */
	void printStats(Printer& printer, const quarn::ServerStats& stats, const std::vector<quarn::FollowerState>& followers);
} // namespace quarnlive::multiengine
