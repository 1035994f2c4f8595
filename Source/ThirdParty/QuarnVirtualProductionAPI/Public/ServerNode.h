// One engine's end of the multi-engine link: a UDP socket, a receive thread and a
// retransmission thread. The process-wide QuarnVirtualProductionServer is one of these;
// tools and tests that run several engines in one process make their own.

#pragma once

#include "CallTrace.h"
#include "EngineReport.h"
#include "QuarnTypes.h"
#include "QuarnVirtualProductionServerDelegate.h"
#include "ServerConfig.h"
#include "ServerEvents.h"
#include "ServerStandIn.h"
#include "ServerStats.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

namespace quarn
{
	namespace dispatch
	{
		class TracingDelegate;
	}

	class ServerNode
	{
	public:
		ServerNode();
		~ServerNode();
		ServerNode(const ServerNode&) = delete;
		ServerNode& operator=(const ServerNode&) = delete;

		// Taken by the next start(); a running node keeps the settings it started with.
		void setConfig(const ServerConfig& config);
		ServerConfig config() const;

		// Binds `listenPort` on the configured address and sends to followers on `sendPort`.
		// False when the delegate is null or the port cannot be bound (see lastError()).
		// Starting a running node restarts it.
		bool start(QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort);
		// Ends both threads and closes the socket; unacknowledged commands are dropped.
		// Not from inside a delegate callback: it waits for the thread that makes them.
		void stop();
		bool isRunning() const;
		// While set, start, stop and the twelve broadcasts go to `standIn` alone: the node opens
		// no socket and starts no thread. The engine's modules reach their server only through
		// these calls, so a host can run them without a network; null restores the network. Set
		// it while the node is stopped; the stand-in must outlive its use.
		void setStandIn(ServerStandIn* standIn);

		// Each asks the delegate for the follower list (getBroadcastIpsCSV) and queues the
		// command for every follower in it, sending at once. True: queued for at least one
		// follower; delivery is confirmed later by acknowledgements (followerStates()).
		// False: not running, or no valid follower address. Never waits on the network.
		bool broadcastPlay();
		bool broadcastStop();
		bool broadcastStartRecord();
		bool broadcastStopRecord();
		bool broadcastSelectCamera(int32_t index);
		bool broadcastSelectCameraXR(int32_t index);
		bool broadcastSelectLevel(int32_t index);
		bool broadcastTriggerAnimation(char key);
		bool broadcastTriggerCustom(uint8_t value);
		bool broadcastTriggerCustomInt(int32_t value);
		bool broadcastTriggerCustomEight(uint64_t value);
		bool broadcastTriggerCustomTransform(QuarnTransform<float> value);

		ServerStats stats() const;
		// Followers this session has sent to, with what they acknowledged.
		std::vector<FollowerState> followerStates() const;
		// True once every command broadcast since start() was acknowledged by every follower
		// it went to; false at the timeout, or once one was given up unacknowledged.
		bool waitUntilAcknowledged(std::chrono::milliseconds timeout);
		// Called when a follower goes silent past ReliabilityConfig::silentAfter; taken by the next start().
		void setFollowerDownHandler(std::function<void(const std::string& address)> handler);
		// The node's log lines (rejected traffic, at most one line per sender and reason a
		// second; a refused broadcast), from any of its threads; taken by the next start().
		// Without a handler they go to standard error.
		void setLogHandler(std::function<void(const std::string& message)> handler);

		// Delivery, receipts and liveness.
		// Told about followers, masters and commands from the node's threads; taken by the
		// next start(). The observer must outlive the run.
		void setObserver(ServerObserver* observer);
		// Follower: with a tracker, each reliable command handed to the delegate is also
		// handed to `tracker` (on the receive thread), and its owner reports what became of
		// it with reportApplied(). Without one, the node reports it raised once the delegate
		// returns. Taken by the next start().
		void setDeliveryTracker(std::function<void(const DeliveryTicket&)> tracker);
		// Sends the applied receipt for a tracked command; any thread.
		void reportApplied(const DeliveryTicket& ticket, CommandOutcome outcome, uint32_t frame, const Timecode& timecode);
		// Follower: this engine's role and statuses, sent now to every master heard from in the
		// last ReliabilityConfig::silentAfter and again with each answer to a master's heartbeat.
		// Any thread.
		void report(const EngineReport& report);
		// Master: followers to keep heartbeats with from now on, before any broadcast.
		void watchFollowers(const std::vector<std::string>& addresses);
		// The number of the last command broadcast since start(), 0 before the first.
		uint64_t lastCommand() const;
		// What each follower did with a recent command, in the order it was sent to them.
		std::vector<CommandFate> fateOf(uint64_t command) const;
		// True once every acknowledged command has an applied receipt or was reported lost.
		bool waitUntilApplied(std::chrono::milliseconds timeout);

		// Test hook: every call of start, stop and the broadcasts, and every call of the delegate,
		// goes to `tracer` as well. Applies at once; set and clear it while the node is stopped.
		void setCallTracer(CallTracer tracer);

		uint16_t boundPort() const;
		int receiveBufferBytes() const;
		std::string lastError() const;

	private:
		struct Running;
		class Relay;

		template <typename Fill>
		bool broadcast(Fill fill);
		bool startUntraced(QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort);
		void shutDown();
		bool traced(const char* function, std::vector<std::pair<std::string, TraceValue>> arguments, bool result) const;
		ServerStandIn* currentStandIn() const;

		mutable std::shared_mutex lifecycle;
		ServerConfig pendingConfig;
		std::function<void(const std::string&)> followerDown;
		std::function<void(const std::string&)> logLine;
		ServerObserver* observer = nullptr;
		std::function<void(const DeliveryTicket&)> deliveryTracker;
		std::string error;
		ServerStandIn* standIn = nullptr;
		std::unique_ptr<Running> running;
		CallTracer tracer;
		std::unique_ptr<dispatch::TracingDelegate> tracingDelegate;
	};
}
