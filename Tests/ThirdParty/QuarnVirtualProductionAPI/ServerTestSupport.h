// Helpers for the server library's tests: a delegate that records every callback, a free
// port for this test's own loopback addresses, and bounded waiting.

#pragma once

#include "QuarnVirtualProductionServerDelegate.h"

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

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
}
