#pragma once

#include "ServerEvents.h"

namespace quarnlive::multiengine
{
	/** Tells two observers everything the server tells; the second may be null. */
	class ObserverPair final : public quarn::ServerObserver
	{
	public:
		ObserverPair(quarn::ServerObserver& first, quarn::ServerObserver* second)
			: first_(first)
			, second_(second)
		{
		}

		void followerDown(const std::string& address, std::chrono::milliseconds silentFor) override
		{
			each([&](auto& o) { o.followerDown(address, silentFor); });
		}
		void followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted) override
		{
			each([&](auto& o) { o.followerUp(address, away, restarted); });
		}
		void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, quarn::LossReason reason) override
		{
			each([&](auto& o) { o.commandsLost(address, commands, reason); });
		}
		void sessionRestored(const std::string& address, std::chrono::milliseconds gap, uint32_t resent) override
		{
			each([&](auto& o) { o.sessionRestored(address, gap, resent); });
		}
		void commandApplied(const std::string& address, uint64_t command, const quarn::AppliedReceipt& receipt) override
		{
			each([&](auto& o) { o.commandApplied(address, command, receipt); });
		}
		void engineReported(const std::string& address, const quarn::EngineReport& report) override
		{
			each([&](auto& o) { o.engineReported(address, report); });
		}
		void timecodeSampled(const std::string& address, const quarn::TimecodeSample& sample) override
		{
			each([&](auto& o) { o.timecodeSampled(address, sample); });
		}
		void masterSilent(const std::string& address) override
		{
			each([&](auto& o) { o.masterSilent(address); });
		}
		void masterBack(const std::string& address, std::chrono::milliseconds silentFor) override
		{
			each([&](auto& o) { o.masterBack(address, silentFor); });
		}

	private:
		template <typename Call>
		void each(Call call)
		{
			call(first_);
			if (second_)
			{
				call(*second_);
			}
		}

		quarn::ServerObserver& first_;
		quarn::ServerObserver* second_;
	};
} // namespace quarnlive::multiengine
