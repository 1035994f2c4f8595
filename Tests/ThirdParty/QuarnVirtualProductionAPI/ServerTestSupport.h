// Helpers for the server library's tests: a delegate that records every callback, an
// observer that records every event, a free port for this test's own loopback addresses, a
// link that can be cut, a datagram with a forged source, and bounded waiting.

#pragma once

#include "QuarnVirtualProductionServerDelegate.h"
#include "ServerEvents.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <algorithm>

namespace quarn::test
{
	using namespace std::chrono_literals;

	// Records callbacks as text ("selectCamera 3"), in arrival order, from any thread.
	class RecordingDelegate final : public QuarnVirtualProductionServerDelegate
	{
	public:
		void play() override { record("play"); }
		void stop() override { record("stop"); }
		void startRecord() override { record("startRecord"); }
		void stopRecord() override { record("stopRecord"); }
		void selectCamera(int32_t index) override { record("selectCamera " + std::to_string(index)); }
		void selectCameraXR(int32_t index) override { record("selectCameraXR " + std::to_string(index)); }
		void selectLevel(int32_t index) override { record("selectLevel " + std::to_string(index)); }
		void triggerAnimation(char key) override { record("triggerAnimation " + std::to_string(static_cast<int>(key))); }
		void triggerCustom(uint8_t value) override { record("triggerCustom " + std::to_string(value)); }
		void triggerCustomEight(QuarnEightBytes value) override { record("triggerCustomEight " + std::to_string(value.value)); }
		void triggerCustomTransform(QuarnTransform<float> value) override
		{
			std::string text = "triggerCustomTransform";
			for (float component : value.values)
			{
				char number[32];
				std::snprintf(number, sizeof(number), " %g", component);
				text += number;
			}
			record(text);
		}
		void triggerCustomInt(int32_t value) override { record("triggerCustomInt " + std::to_string(value)); }

		Timecode getTimecode() override
		{
			std::lock_guard lock(mutex);
			++timecodeRequests;
			return timecode;
		}

		bool getBroadcastIpsCSV(QuarnString& ips) override
		{
			std::lock_guard lock(mutex);
			if (!followers)
			{
				return false;
			}
			ips = followers->c_str();
			return true;
		}

		void setFollowers(std::optional<std::string> csv)
		{
			std::lock_guard lock(mutex);
			followers = std::move(csv);
		}

		void setTimecode(const Timecode& value)
		{
			std::lock_guard lock(mutex);
			timecode = value;
		}

		std::vector<std::string> calls() const
		{
			std::lock_guard lock(mutex);
			return recorded;
		}

		// True once at least `count` callbacks arrived; false after `timeout`.
		bool waitForCalls(std::size_t count, std::chrono::milliseconds timeout = 5s)
		{
			std::unique_lock lock(mutex);
			return arrived.wait_for(lock, timeout, [&] { return recorded.size() >= count; });
		}

		int timecodeCalls() const
		{
			std::lock_guard lock(mutex);
			return timecodeRequests;
		}

	private:
		void record(std::string call)
		{
			{
				std::lock_guard lock(mutex);
				recorded.push_back(std::move(call));
			}
			arrived.notify_all();
		}

		mutable std::mutex mutex;
		std::condition_variable arrived;
		std::vector<std::string> recorded;
		std::optional<std::string> followers;
		Timecode timecode{FrameRate()};
		int timecodeRequests = 0;
	};

	inline bool udpPortFree(const char* address, uint16_t port)
	{
		const int fd = socket(AF_INET, SOCK_DGRAM, 0);
		sockaddr_in local{};
		local.sin_family = AF_INET;
		local.sin_port = htons(port);
		inet_pton(AF_INET, address, &local.sin_addr);
		const bool bFree = bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == 0;
		close(fd);
		return bFree;
	}

	// A port the kernel hands out on 127.0.0.1 that is also free on the other addresses
	// this test binds, so tests running side by side do not meet.
	inline uint16_t freePort(const std::vector<const char*>& alsoOn = {"127.0.0.2", "127.0.0.3", "127.0.0.4"})
	{
		for (int attempt = 0; attempt < 50; ++attempt)
		{
			const int fd = socket(AF_INET, SOCK_DGRAM, 0);
			sockaddr_in local{};
			local.sin_family = AF_INET;
			local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
			bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local));
			socklen_t length = sizeof(local);
			getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
			close(fd);
			const uint16_t port = ntohs(local.sin_port);
			bool bFree = true;
			for (const char* address : alsoOn)
			{
				bFree = bFree && udpPortFree(address, port);
			}
			if (bFree)
			{
				return port;
			}
		}
		return 0;
	}

	// Polls `condition` until it holds or `timeout` passes; for state without a notification.
	template <typename Condition>
	bool eventually(Condition condition, std::chrono::milliseconds timeout = 5s)
	{
		const auto deadline = std::chrono::steady_clock::now() + timeout;
		while (!condition())
		{
			if (std::chrono::steady_clock::now() >= deadline)
			{
				return false;
			}
			std::this_thread::sleep_for(1ms);
		}
		return true;
	}

	// Records a node's events as text ("down 127.0.0.2", "lost 127.0.0.2 restarted 3,4").
	class RecordingObserver final : public ServerObserver
	{
	public:
		void followerDown(const std::string& address, std::chrono::milliseconds) override { record("down " + address); }
		void followerUp(const std::string& address, std::chrono::milliseconds, bool bRestarted) override
		{
			record("up " + address + (bRestarted ? " restarted" : ""));
		}
		void commandsLost(const std::string& address, const std::vector<uint64_t>& commands, LossReason reason) override
		{
			std::string text = "lost " + address + " " + lossText(reason) + " ";
			for (std::size_t i = 0; i < commands.size(); ++i)
			{
				text += (i ? "," : "") + std::to_string(commands[i]);
			}
			record(text);
		}
		void sessionRestored(const std::string& address, std::chrono::milliseconds, uint32_t) override { record("restored " + address); }
		void commandApplied(const std::string& address, uint64_t command, const AppliedReceipt& receipt) override
		{
			std::lock_guard lock(mutex);
			applied.push_back({address, command, receipt});
		}
		void masterSilent(const std::string& address) override { record("silent " + address); }
		void masterBack(const std::string& address, std::chrono::milliseconds) override { record("back " + address); }

		struct Applied
		{
			std::string address;
			uint64_t command = 0;
			AppliedReceipt receipt;
		};

		std::vector<std::string> events() const
		{
			std::lock_guard lock(mutex);
			return recorded;
		}

		bool saw(const std::string& event) const
		{
			std::lock_guard lock(mutex);
			return std::find(recorded.begin(), recorded.end(), event) != recorded.end();
		}

		// Events that begin with `prefix`.
		std::vector<std::string> startingWith(const std::string& prefix) const
		{
			std::lock_guard lock(mutex);
			std::vector<std::string> result;
			for (const std::string& event : recorded)
			{
				if (event.rfind(prefix, 0) == 0)
				{
					result.push_back(event);
				}
			}
			return result;
		}

		std::vector<Applied> receipts() const
		{
			std::lock_guard lock(mutex);
			return applied;
		}

	private:
		void record(std::string event)
		{
			std::lock_guard lock(mutex);
			recorded.push_back(std::move(event));
		}

		mutable std::mutex mutex;
		std::vector<std::string> recorded;
		std::vector<Applied> applied;
	};

	inline sockaddr_in socketAddress(const char* address, uint16_t port)
	{
		sockaddr_in result{};
		result.sin_family = AF_INET;
		result.sin_port = htons(port);
		inet_pton(AF_INET, address, &result.sin_addr);
		return result;
	}

	// A follower reached through a relay that can be cut both ways, like a pulled cable. The
	// master sends to `masterSide`:`relayPort` (the follower's address); the relay forwards to
	// the follower from `followerSide`:`relayPort` and carries its answers back.
	class CuttableLink
	{
	public:
		CuttableLink(const char* follower, uint16_t relayPort, uint16_t followerPort, const char* master, uint16_t masterPort)
			: toFollower(socketAddress(follower, followerPort))
			, toMaster(socketAddress(master, masterPort))
		{
			masterSide = bound(follower, relayPort);
			followerSide = bound("127.0.0.9", relayPort);
			relay = std::thread([this] { run(); });
		}
		~CuttableLink()
		{
			bStopping = true;
			relay.join();
			close(masterSide);
			close(followerSide);
		}
		CuttableLink(const CuttableLink&) = delete;
		CuttableLink& operator=(const CuttableLink&) = delete;

		void cut(bool bCut) { bCutOff = bCut; }
		bool ready() const { return masterSide >= 0 && followerSide >= 0; }

	private:
		static int bound(const char* address, uint16_t port)
		{
			const int fd = socket(AF_INET, SOCK_DGRAM, 0);
			const sockaddr_in local = socketAddress(address, port);
			if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
			{
				close(fd);
				return -1;
			}
			return fd;
		}

		void run()
		{
			uint8_t buffer[2048];
			while (!bStopping)
			{
				pollfd fds[2] = {{masterSide, POLLIN, 0}, {followerSide, POLLIN, 0}};
				if (poll(fds, 2, 20) <= 0)
				{
					continue;
				}
				for (int i = 0; i < 2; ++i)
				{
					if (!(fds[i].revents & POLLIN))
					{
						continue;
					}
					const ssize_t size = recv(fds[i].fd, buffer, sizeof(buffer), 0);
					if (size <= 0 || bCutOff)
					{
						continue;
					}
					const int out = i == 0 ? followerSide : masterSide;
					const sockaddr_in& to = i == 0 ? toFollower : toMaster;
					sendto(out, buffer, static_cast<size_t>(size), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
				}
			}
		}

		const sockaddr_in toFollower;
		const sockaddr_in toMaster;
		int masterSide = -1;
		int followerSide = -1;
		std::atomic<bool> bStopping{false};
		std::atomic<bool> bCutOff{false};
		std::thread relay;
	};

	// Sends one UDP datagram with a forged source address and port through a raw socket.
	// False without the privilege to open one.
	inline bool sendForged(const char* from, uint16_t fromPort, const char* to, uint16_t toPort, const std::vector<uint8_t>& payload)
	{
		const int fd = socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
		if (fd < 0)
		{
			return false;
		}
		std::vector<uint8_t> packet(sizeof(iphdr) + sizeof(udphdr) + payload.size());
		auto* ip = reinterpret_cast<iphdr*>(packet.data());
		ip->version = 4;
		ip->ihl = 5;
		ip->ttl = 64;
		ip->protocol = IPPROTO_UDP;
		ip->tot_len = htons(static_cast<uint16_t>(packet.size()));
		inet_pton(AF_INET, from, &ip->saddr);
		inet_pton(AF_INET, to, &ip->daddr);
		auto* udp = reinterpret_cast<udphdr*>(packet.data() + sizeof(iphdr));
		udp->source = htons(fromPort);
		udp->dest = htons(toPort);
		udp->len = htons(static_cast<uint16_t>(sizeof(udphdr) + payload.size()));
		// A zero UDP checksum means "none" on IPv4; the kernel fills the IP one.
		std::copy(payload.begin(), payload.end(), packet.begin() + sizeof(iphdr) + sizeof(udphdr));
		const sockaddr_in target = socketAddress(to, toPort);
		const bool bSent = sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == static_cast<ssize_t>(packet.size());
		close(fd);
		return bSent;
	}
}
