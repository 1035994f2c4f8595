#pragma once

#include "ServerEvents.h"

#include <cstdint>
#include <memory>

class UQuarnMultiEngineSubsystem;

namespace quarn
{
	class ServerNode;
}

namespace quarnlive::multiengine
{
	/**
	 * The follower's applied receipts. For each command the server hands the subsystem, a
	 * marker task is queued on the game thread right behind the subsystem's own task; when
	 * it runs, the subsystem's task has run too, and the marker reports whether an event was
	 * raised since the previous marker, and if not, why not.
	 */
	class ReceiptTracker
	{
	public:
		explicit ReceiptTracker(quarn::ServerNode& server);

		/** Counts the subsystem's raised events; on the game thread, once the subsystem exists. */
		void countEvents(UQuarnMultiEngineSubsystem& subsystem);

		/** The server's delivery tracker: runs on its receive thread. */
		void track(const quarn::DeliveryTicket& ticket) const;

	private:
		struct State
		{
			quarn::ServerNode& server;
			// Game thread only.
			uint64_t raised = 0;
			uint64_t raisedAtLastMarker = 0;
		};

		static quarn::CommandOutcome outcomeOf(State& state, const quarn::DeliveryTicket& ticket);

		// Shared with queued markers, which may outlive a shut-down engine's tracker.
		std::shared_ptr<State> state_;
	};
} // namespace quarnlive::multiengine
