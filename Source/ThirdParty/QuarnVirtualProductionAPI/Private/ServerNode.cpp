#include "ServerNode.h"

#include "Admission/Gate.h"
#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "Codec/Report.h"
#include "Dispatch/Counters.h"
#include "Dispatch/Outbox.h"
#include "Dispatch/ReceivePath.h"
#include "Dispatch/TimecodeProbe.h"
#include "Dispatch/TracingDelegate.h"
#include "Ipv4Address.h"
#include "QuarnVirtualProductionServer.h"
#include "Transport/FaultInjector.h"
#include "Transport/UdpSocket.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <unordered_map>

namespace quarn
{
	namespace
	{
		// Every broadcast reaches a stand-in as the call the engine made.
		bool broadcastToStandIn(ServerStandIn& stand, const codec::Command& command)
		{
			switch (command.kind)
			{
			case codec::CommandKind::Play:
				return stand.broadcastPlay();
			case codec::CommandKind::Stop:
				return stand.broadcastStop();
			case codec::CommandKind::StartRecord:
				return stand.broadcastStartRecord();
			case codec::CommandKind::StopRecord:
				return stand.broadcastStopRecord();
			case codec::CommandKind::SelectCamera:
				return stand.broadcastSelectCamera(command.integer);
			case codec::CommandKind::SelectCameraXR:
				return stand.broadcastSelectCameraXR(command.integer);
			case codec::CommandKind::SelectLevel:
				return stand.broadcastSelectLevel(command.integer);
			case codec::CommandKind::TriggerAnimation:
				return stand.broadcastTriggerAnimation(static_cast<char>(command.integer));
			case codec::CommandKind::TriggerCustom:
				return stand.broadcastTriggerCustom(static_cast<uint8_t>(command.integer));
			case codec::CommandKind::TriggerCustomInt:
				return stand.broadcastTriggerCustomInt(command.integer);
			case codec::CommandKind::TriggerCustomEight:
				return stand.broadcastTriggerCustomEight(command.eight);
			case codec::CommandKind::TriggerCustomTransform:
				return stand.broadcastTriggerCustomTransform(command.transform);
			}
			return false;
		}

		uint32_t newSession()
		{
			std::random_device device;
			uint32_t session = 0;
			while (session == 0)
			{
				session = device();
			}
			return session;
		}

		// "10.0.0.2,10.0.0.3": invalid entries are skipped, duplicates kept once, spaces around entries ignored.
		std::vector<uint32_t> parseFollowers(const std::string& csv)
		{
			std::vector<uint32_t> result;
			std::size_t start = 0;
			while (start <= csv.size())
			{
				std::size_t end = csv.find(',', start);
				if (end == std::string::npos)
				{
					end = csv.size();
				}
				std::string_view entry(csv.data() + start, end - start);
				while (!entry.empty() && entry.front() == ' ')
				{
					entry.remove_prefix(1);
				}
				while (!entry.empty() && entry.back() == ' ')
				{
					entry.remove_suffix(1);
				}
				if (const std::optional<uint32_t> address = parseIpv4(entry))
				{
					if (std::find(result.begin(), result.end(), *address) == result.end())
					{
						result.push_back(*address);
					}
				}
				start = end + 1;
			}
			return result;
		}

		void toStandardError(const std::string& message)
		{
			std::fprintf(stderr, "QuarnVirtualProductionAPI: %s\n", message.c_str());
		}
	}

	// Hands the node's events to the owner's observer and the follower-down handler.
	class ServerNode::Relay final : public ServerObserver
	{
	public:
		Relay(ServerObserver* ownerObserver, std::function<void(const std::string&)> downHandler)
			: owner(ownerObserver)
			, down(std::move(downHandler)) {}

		void followerDown(const std::string& address, std::chrono::milliseconds silentFor) override
		{
			if (down)
			{
				down(address);
			}
			if (owner)
			{
				owner->followerDown(address, silentFor);
			}
		}
		void followerUp(const std::string& address, std::chrono::milliseconds away, bool bRestarted) override
		{
			if (owner)
			{
				owner->followerUp(address, away, bRestarted);
			}
		}
		void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, LossReason reason) override
		{
			if (owner)
			{
				owner->commandsLost(address, commands, reason);
			}
		}
		void sessionRestored(const std::string& address, std::chrono::milliseconds gap, uint32_t resent) override
		{
			if (owner)
			{
				owner->sessionRestored(address, gap, resent);
			}
		}
		void commandApplied(const std::string& address, uint64_t command, const AppliedReceipt& receipt) override
		{
			if (owner)
			{
				owner->commandApplied(address, command, receipt);
			}
		}
		void engineReported(const std::string& address, const EngineReport& report) override
		{
			if (owner)
			{
				owner->engineReported(address, report);
			}
		}
		void timecodeSampled(const std::string& address, const TimecodeSample& sample) override
		{
			if (owner)
			{
				owner->timecodeSampled(address, sample);
			}
		}
		void masterSilent(const std::string& address) override
		{
			if (owner)
			{
				owner->masterSilent(address);
			}
		}
		void masterBack(const std::string& address, std::chrono::milliseconds silentFor) override
		{
			if (owner)
			{
				owner->masterBack(address, silentFor);
			}
		}

	private:
		ServerObserver* const owner;
		const std::function<void(const std::string&)> down;
	};

	struct ServerNode::Running final : dispatch::ReceiveSink
	{
		Running(const ServerConfig& serverConfig, QuarnVirtualProductionServerDelegate& serverDelegate, uint16_t sendPort, std::function<void(const std::string&)> logHandler,
			ServerObserver* ownerObserver, std::function<void(const std::string&)> downHandler, std::function<void(const DeliveryTicket&)> tracker)
			: config(serverConfig)
			, delegate(serverDelegate)
			, log(logHandler ? std::move(logHandler) : toStandardError)
			, relay(ownerObserver, std::move(downHandler))
			, deliveryTracker(std::move(tracker))
			, outbox(
				  serverConfig.reliability, sendPort, counters, [this](const codec::Bytes& bytes, const transport::Endpoint& to) { sendDatagram(bytes, to); }, &relay)
			, receivePath(serverDelegate, *this, counters, dispatch::ReceiveSettings{newSession(), serverConfig.reliability.silentAfter, serverConfig.maxLateness})
			, gate(serverConfig.studioKey, counters, log)
		{
			if (config.faults.enabled())
			{
				faults.emplace(config.faults);
			}
			if (config.timecodeProbeInterval.count() > 0)
			{
				probe.emplace(config.timecodeProbeInterval, sendPort, counters);
			}
			if (config.studioKey)
			{
				sealer.emplace(config.studioKey);
			}
		}

		void send(const codec::Bytes& datagram, const transport::Endpoint& to) override { sendDatagram(datagram, to); }

		void acknowledged(const transport::Endpoint& from, const codec::Decoded& acknowledgement) override { outbox.acknowledged(from.address, acknowledgement); }
		void rejected(const transport::Endpoint& from, const codec::Decoded& reject) override { outbox.rejected(from.address, reject); }
		void receiptArrived(const transport::Endpoint& from, const codec::Receipt& receipt) override { outbox.receiptArrived(from.address, receipt); }

		bool tracked(const DeliveryTicket& ticket) override
		{
			if (!deliveryTracker)
			{
				return false;
			}
			deliveryTracker(ticket);
			return true;
		}

		void masterSilent(const transport::Endpoint& master) override { relay.masterSilent(master.addressText()); }

		void masterHeartbeat(const transport::Endpoint& master) override
		{
			std::lock_guard lock(reportMutex);
			masters[(uint64_t(master.address) << 16) | master.port] = std::chrono::steady_clock::now();
			sendReportTo(master);
		}

		bool reportArrived(const transport::Endpoint& from, const EngineReport& report) override
		{
			// Only a follower's report goes on the board; anybody else could paint it.
			if (!outbox.follows(from.address))
			{
				return false;
			}
			relay.engineReported(from.addressText(), report);
			return true;
		}

		bool timecodeAnswered(const transport::Endpoint& from, const codec::Decoded& answer) override
		{
			if (!probe)
			{
				return false;
			}
			const std::optional<TimecodeSample> sample = probe->answered(from, answer);
			if (sample)
			{
				relay.timecodeSampled(from.addressText(), *sample);
			}
			return sample.has_value();
		}

		// Follower: keeps the report for the heartbeats to come and sends it to every master
		// heard from lately.
		void report(const EngineReport& engineReport)
		{
			std::lock_guard lock(reportMutex);
			reportBytes.clear();
			codec::encodeReport(engineReport, reportBytes);
			const auto now = std::chrono::steady_clock::now();
			for (auto entry = masters.begin(); entry != masters.end();)
			{
				if (now - entry->second > config.reliability.silentAfter)
				{
					entry = masters.erase(entry);
					continue;
				}
				sendReportTo(transport::Endpoint{static_cast<uint32_t>(entry->first >> 16), static_cast<uint16_t>(entry->first & 0xffff)});
				++entry;
			}
		}

		// Under reportMutex.
		void sendReportTo(const transport::Endpoint& master)
		{
			if (reportBytes.empty())
			{
				return;
			}
			sendDatagram(reportBytes, master);
			dispatch::Counters::add(counters.reportsSent);
		}
		void masterBack(const transport::Endpoint& master, std::chrono::milliseconds silentFor) override { relay.masterBack(master.addressText(), silentFor); }

		void sendDatagram(const codec::Bytes& unsealed, const transport::Endpoint& to)
		{
			// Sealed before the fault layer, which stands for the network.
			thread_local codec::Bytes sealed;
			if (sealer)
			{
				sealer->seal(unsealed.data(), unsealed.size(), to, sealed);
			}
			const codec::Bytes& bytes = sealer ? sealed : unsealed;
			if (faults)
			{
				faults->submit(bytes.data(), bytes.size(), to, [this](const std::vector<uint8_t>& out, const transport::Endpoint& target) { sendNow(out, target); });
				return;
			}
			sendNow(bytes, to);
		}

		void sendNow(const codec::Bytes& bytes, const transport::Endpoint& to)
		{
			// A full send queue loses the datagram like the network would; retransmission covers commands.
			dispatch::Counters::add(socket.send(bytes.data(), bytes.size(), to) ? counters.datagramsSent : counters.sendErrors);
		}

		void receiveLoop()
		{
			transport::ReceivedDatagram batch[transport::UdpSocket::batchSize];
			while (!bStopping.load(std::memory_order_acquire))
			{
				const bool bReadable = socket.wait(std::chrono::milliseconds(100));
				const auto woke = std::chrono::steady_clock::now();
				gate.flush(woke);
				receivePath.checkSilence(woke);
				if (!bReadable)
				{
					continue;
				}
				for (int round = 0; round < 16; ++round)
				{
					const int count = socket.receiveBatch(batch);
					const auto now = std::chrono::steady_clock::now();
					for (int i = 0; i < count; ++i)
					{
						dispatch::Counters::add(counters.datagramsReceived);
						if (batch[i].truncated)
						{
							gate.truncated(batch[i].from, now);
							continue;
						}
						const transport::Endpoint& from = batch[i].from;
						gate.receive(batch[i].data, batch[i].size, from, batch[i].to, now, [this, &from](const uint8_t* data, std::size_t size) { receivePath.handle(data, size, from); });
					}
					receivePath.flushAcknowledgements();
					if (count < transport::UdpSocket::batchSize)
					{
						break;
					}
				}
			}
		}

		void serviceLoop()
		{
			// Fault-delayed datagrams need a finer clock than retransmission.
			const auto tick = faults ? std::chrono::milliseconds(1) : std::clamp(config.reliability.retransmitInterval / 4, std::chrono::milliseconds(1), std::chrono::milliseconds(5));
			std::unique_lock lock(serviceMutex);
			while (!serviceWake.wait_for(lock, tick, [this] { return bStopping.load(std::memory_order_acquire); }))
			{
				lock.unlock();
				const auto now = std::chrono::steady_clock::now();
				if (faults)
				{
					faults->release(now, [this](const std::vector<uint8_t>& out, const transport::Endpoint& target) { sendNow(out, target); });
				}
				outbox.service(now);
				if (probe)
				{
					probe->service(now, outbox.addresses(), [this](const codec::Bytes& bytes, const transport::Endpoint& to) { sendDatagram(bytes, to); });
				}
				lock.lock();
			}
		}

		// Follower addresses for the next broadcast; the last list is parsed once and reused.
		bool followers(std::vector<uint32_t>& out)
		{
			QuarnString csv;
			if (!delegate.getBroadcastIpsCSV(csv))
			{
				return false;
			}
			std::lock_guard lock(followersMutex);
			if (csv.str() != lastCsv)
			{
				lastCsv = csv.str();
				lastFollowers = parseFollowers(lastCsv);
			}
			out = lastFollowers;
			return !out.empty();
		}

		const ServerConfig config;
		QuarnVirtualProductionServerDelegate& delegate;
		const std::function<void(const std::string&)> log;
		dispatch::Counters counters;
		transport::UdpSocket socket;
		std::optional<transport::FaultInjector> faults;
		std::optional<admission::Sealer> sealer;
		Relay relay;
		const std::function<void(const DeliveryTicket&)> deliveryTracker;
		dispatch::Outbox outbox;
		dispatch::ReceivePath receivePath;
		admission::Gate gate;
		std::optional<dispatch::TimecodeProbe> probe;
		std::mutex reportMutex;
		codec::Bytes reportBytes;
		// Masters whose heartbeats this follower answers, by address and port, with when each was last heard.
		std::unordered_map<uint64_t, std::chrono::steady_clock::time_point> masters;
		std::atomic<bool> bStopping{false};
		std::mutex serviceMutex;
		std::condition_variable serviceWake;
		std::mutex followersMutex;
		std::string lastCsv;
		std::vector<uint32_t> lastFollowers;
		std::thread receiver;
		std::thread service;
	};

	ServerNode::ServerNode() = default;

	ServerNode::~ServerNode()
	{
		shutDown();
	}

	void ServerNode::setCallTracer(CallTracer callTracer)
	{
		std::unique_lock lock(lifecycle);
		tracer = std::move(callTracer);
	}

	bool ServerNode::traced(const char* function, std::vector<std::pair<std::string, TraceValue>> arguments, bool result) const
	{
		if (tracer)
		{
			tracer(TracedCall{false, function, std::move(arguments), TraceValue::of(result)});
		}
		return result;
	}

	void ServerNode::setConfig(const ServerConfig& config)
	{
		std::unique_lock lock(lifecycle);
		pendingConfig = config;
	}

	ServerConfig ServerNode::config() const
	{
		std::shared_lock lock(lifecycle);
		return pendingConfig;
	}

	bool ServerNode::start(QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort)
	{
		return traced("start", {{"listenPort", TraceValue::of(int64_t{listenPort})}, {"sendPort", TraceValue::of(int64_t{sendPort})}},
			startUntraced(delegate, listenPort, sendPort));
	}

	bool ServerNode::startUntraced(QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort)
	{
		if (ServerStandIn* const stand = currentStandIn())
		{
			return stand->start(delegate, listenPort, sendPort);
		}
		shutDown();
		std::unique_lock lock(lifecycle);
		if (!delegate)
		{
			error = "no delegate";
			return false;
		}
		std::vector<uint32_t> masters;
		for (const std::string& text : pendingConfig.masters)
		{
			const std::optional<uint32_t> address = parseIpv4(text);
			if (!address)
			{
				error = "not an IPv4 address in the masters allow-list: " + text;
				return false;
			}
			masters.push_back(*address);
		}
		tracingDelegate.reset();
		if (tracer)
		{
			tracingDelegate = std::make_unique<dispatch::TracingDelegate>(*delegate, tracer);
			delegate = tracingDelegate.get();
		}
		auto node = std::make_unique<Running>(pendingConfig, *delegate, sendPort, logLine, observer, followerDown, deliveryTracker);
		node->receivePath.admitCommandsFrom(std::move(masters));
		if (!node->socket.open(pendingConfig.bindAddress, listenPort, pendingConfig.receiveBufferBytes, pendingConfig.sendBufferBytes, error))
		{
			return false;
		}
		error.clear();
		Running* raw = node.get();
		node->receiver = std::thread([raw] { raw->receiveLoop(); });
		node->service = std::thread([raw] { raw->serviceLoop(); });
		running = std::move(node);
		return true;
	}

	void ServerNode::stop()
	{
		shutDown();
		if (tracer)
		{
			tracer(TracedCall{false, "stop", {}, {}});
		}
	}

	void ServerNode::shutDown()
	{
		if (ServerStandIn* const stand = currentStandIn())
		{
			stand->stop();
			return;
		}
		std::unique_ptr<Running> node;
		{
			std::unique_lock lock(lifecycle);
			node = std::move(running);
		}
		if (!node)
		{
			return;
		}
		node->bStopping.store(true, std::memory_order_release);
		node->socket.wake();
		{
			std::lock_guard serviceLock(node->serviceMutex);
			node->serviceWake.notify_all();
		}
		node->receiver.join();
		node->service.join();
		node->socket.close();
	}

	bool ServerNode::isRunning() const
	{
		std::shared_lock lock(lifecycle);
		return running != nullptr;
	}

	void ServerNode::setStandIn(ServerStandIn* nodeStandIn)
	{
		std::unique_lock lock(lifecycle);
		standIn = nodeStandIn;
	}

	ServerStandIn* ServerNode::currentStandIn() const
	{
		std::shared_lock lock(lifecycle);
		return standIn;
	}

	template <typename Fill>
	bool ServerNode::broadcast(Fill fill)
	{
		if (ServerStandIn* const stand = currentStandIn())
		{
			codec::Command command;
			fill(command);
			return broadcastToStandIn(*stand, command);
		}
		std::shared_lock lock(lifecycle);
		if (!running)
		{
			return false;
		}
		std::vector<uint32_t> addresses;
		if (!running->followers(addresses))
		{
			return false;
		}
		codec::Command command;
		fill(command);
		return running->outbox.broadcast(command, addresses);
	}

	bool ServerNode::broadcastPlay()
	{
		return traced("broadcastPlay", {}, broadcast([](codec::Command& command) { command.kind = codec::CommandKind::Play; }));
	}

	bool ServerNode::broadcastStop()
	{
		return traced("broadcastStop", {}, broadcast([](codec::Command& command) { command.kind = codec::CommandKind::Stop; }));
	}

	bool ServerNode::broadcastStartRecord()
	{
		return traced("broadcastStartRecord", {}, broadcast([](codec::Command& command) { command.kind = codec::CommandKind::StartRecord; }));
	}

	bool ServerNode::broadcastStopRecord()
	{
		return traced("broadcastStopRecord", {}, broadcast([](codec::Command& command) { command.kind = codec::CommandKind::StopRecord; }));
	}

	bool ServerNode::broadcastSelectCamera(int32_t index)
	{
		return traced("broadcastSelectCamera", {{"index", TraceValue::of(int64_t{index})}}, broadcast([index](codec::Command& command) {
			command.kind = codec::CommandKind::SelectCamera;
			command.integer = index;
		}));
	}

	bool ServerNode::broadcastSelectCameraXR(int32_t index)
	{
		return traced("broadcastSelectCameraXR", {{"index", TraceValue::of(int64_t{index})}}, broadcast([index](codec::Command& command) {
			command.kind = codec::CommandKind::SelectCameraXR;
			command.integer = index;
		}));
	}

	bool ServerNode::broadcastSelectLevel(int32_t index)
	{
		return traced("broadcastSelectLevel", {{"index", TraceValue::of(int64_t{index})}}, broadcast([index](codec::Command& command) {
			command.kind = codec::CommandKind::SelectLevel;
			command.integer = index;
		}));
	}

	bool ServerNode::broadcastTriggerAnimation(char key)
	{
		// Travels as the unsigned byte, so other tools see 0..255.
		return traced("broadcastTriggerAnimation", {{"key", TraceValue::of(int64_t{static_cast<uint8_t>(key)})}}, broadcast([key](codec::Command& command) {
			command.kind = codec::CommandKind::TriggerAnimation;
			command.integer = static_cast<uint8_t>(key);
		}));
	}

	bool ServerNode::broadcastTriggerCustom(uint8_t value)
	{
		return traced("broadcastTriggerCustom", {{"value", TraceValue::of(int64_t{value})}}, broadcast([value](codec::Command& command) {
			command.kind = codec::CommandKind::TriggerCustom;
			command.integer = value;
		}));
	}

	bool ServerNode::broadcastTriggerCustomInt(int32_t value)
	{
		return traced("broadcastTriggerCustomInt", {{"value", TraceValue::of(int64_t{value})}}, broadcast([value](codec::Command& command) {
			command.kind = codec::CommandKind::TriggerCustomInt;
			command.integer = value;
		}));
	}

	bool ServerNode::broadcastTriggerCustomEight(uint64_t value)
	{
		return traced("broadcastTriggerCustomEight", {{"value", dispatch::bytesOf(QuarnEightBytes{value})}}, broadcast([value](codec::Command& command) {
			command.kind = codec::CommandKind::TriggerCustomEight;
			command.eight = value;
		}));
	}

	bool ServerNode::broadcastTriggerCustomTransform(QuarnTransform<float> value)
	{
		// The stand-in answers for the transform as given, refused or not.
		if (ServerStandIn* const stand = currentStandIn())
		{
			return traced("broadcastTriggerCustomTransform", {{"value", dispatch::transformOf(value)}}, stand->broadcastTriggerCustomTransform(value));
		}
		for (int i = 0; i < 9; ++i)
		{
			if (!std::isfinite(value[i]))
			{
				std::shared_lock lock(lifecycle);
				const auto& log = running ? running->log : (logLine ? logLine : std::function<void(const std::string&)>(toStandardError));
				log("refused to broadcast a transform with NaN or infinity (value " + std::to_string(i + 1) + " of 9 is " + std::to_string(value[i]) + ")");
				return traced("broadcastTriggerCustomTransform", {{"value", dispatch::transformOf(value)}}, false);
			}
		}
		return traced("broadcastTriggerCustomTransform", {{"value", dispatch::transformOf(value)}}, broadcast([&value](codec::Command& command) {
			command.kind = codec::CommandKind::TriggerCustomTransform;
			command.transform = value;
		}));
	}

	ServerStats ServerNode::stats() const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->counters.snapshot() : ServerStats{};
	}

	std::vector<FollowerState> ServerNode::followerStates() const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->outbox.states() : std::vector<FollowerState>{};
	}

	bool ServerNode::waitUntilAcknowledged(std::chrono::milliseconds timeout)
	{
		std::shared_lock lock(lifecycle);
		return running && running->outbox.waitUntilAcknowledged(timeout);
	}

	void ServerNode::setFollowerDownHandler(std::function<void(const std::string& address)> handler)
	{
		std::unique_lock lock(lifecycle);
		followerDown = std::move(handler);
	}

	void ServerNode::setLogHandler(std::function<void(const std::string& message)> handler)
	{
		std::unique_lock lock(lifecycle);
		logLine = std::move(handler);
	}

	void ServerNode::setObserver(ServerObserver* nodeObserver)
	{
		std::unique_lock lock(lifecycle);
		observer = nodeObserver;
	}

	void ServerNode::setDeliveryTracker(std::function<void(const DeliveryTicket&)> tracker)
	{
		std::unique_lock lock(lifecycle);
		deliveryTracker = std::move(tracker);
	}

	void ServerNode::reportApplied(const DeliveryTicket& ticket, CommandOutcome outcome, uint32_t frame, const Timecode& timecode)
	{
		std::shared_lock lock(lifecycle);
		if (!running)
		{
			return;
		}
		codec::Bytes receipt;
		running->receivePath.encodeReceiptFor(ticket, outcome, frame, timecode, receipt);
		running->sendDatagram(receipt, transport::Endpoint{ticket.master, ticket.masterPort});
	}

	void ServerNode::report(const EngineReport& engineReport)
	{
		std::shared_lock lock(lifecycle);
		if (running)
		{
			running->report(engineReport);
		}
	}

	void ServerNode::watchFollowers(const std::vector<std::string>& addresses)
	{
		std::shared_lock lock(lifecycle);
		if (!running)
		{
			return;
		}
		std::vector<uint32_t> parsed;
		for (const std::string& address : addresses)
		{
			if (const std::optional<uint32_t> value = parseIpv4(address))
			{
				parsed.push_back(*value);
			}
		}
		running->outbox.watch(parsed);
	}

	uint64_t ServerNode::lastCommand() const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->outbox.lastCommand() : 0;
	}

	std::vector<CommandFate> ServerNode::fateOf(uint64_t command) const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->outbox.fateOf(command) : std::vector<CommandFate>{};
	}

	bool ServerNode::waitUntilApplied(std::chrono::milliseconds timeout)
	{
		std::shared_lock lock(lifecycle);
		return running && running->outbox.waitUntilApplied(timeout);
	}

	uint16_t ServerNode::boundPort() const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->socket.localEndpoint().port : 0;
	}

	int ServerNode::receiveBufferBytes() const
	{
		std::shared_lock lock(lifecycle);
		return running ? running->socket.receiveBufferBytes() : 0;
	}

	std::string ServerNode::lastError() const
	{
		std::shared_lock lock(lifecycle);
		return error;
	}

	namespace
	{
		thread_local QuarnVirtualProductionServer* currentServer = nullptr;
	}

	QuarnVirtualProductionServer& QuarnVirtualProductionServer::instance()
	{
		if (currentServer)
		{
			return *currentServer;
		}
		static QuarnVirtualProductionServer server;
		return server;
	}

	QuarnVirtualProductionServer::ScopedCurrent::ScopedCurrent(QuarnVirtualProductionServer& server)
		: previous(currentServer)
	{
		currentServer = &server;
	}

	QuarnVirtualProductionServer::ScopedCurrent::~ScopedCurrent()
	{
		currentServer = previous;
	}
}
