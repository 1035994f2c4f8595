// Multi-engine server latency and throughput on loopback, against the raw UDP floor
// measured in the same run: one-way and round trip of bare datagrams, broadcast to the
// follower's callback, timecode round trip (each without and with the studio key, and the
// key's cost per datagram), and acknowledged commands per second to two followers in a burst
// against the same burst of bare datagrams, with what was lost, duplicated or falsely reported
// down. Prints p50/p99 and the ratios; it is a measurement, not a pass/fail test.

#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "QuietServerDelegate.h"
#include "ServerNode.h"
#include "Transport/UdpSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
	using Clock = std::chrono::steady_clock;
	using namespace std::chrono_literals;

	constexpr int samples = 20000;
	constexpr int warmUp = 1000;

	struct Percentiles
	{
		double p50 = 0;
		double p99 = 0;
	};

	Percentiles percentiles(std::vector<double> values)
	{
		if (values.empty())
		{
			return {};
		}
		std::sort(values.begin(), values.end());
		return {values[values.size() / 2], values[std::min(values.size() - 1, values.size() * 99 / 100)]};
	}

	void print(const char* name, const Percentiles& value)
	{
		std::printf("%-42s p50 %8.1f us   p99 %8.1f us\n", name, value.p50, value.p99);
	}

	double microseconds(Clock::duration duration)
	{
		return std::chrono::duration<double, std::micro>(duration).count();
	}

	int boundSocket(const char* address, uint16_t port)
	{
		const int fd = socket(AF_INET, SOCK_DGRAM, 0);
		sockaddr_in local{};
		local.sin_family = AF_INET;
		local.sin_port = htons(port);
		inet_pton(AF_INET, address, &local.sin_addr);
		if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0)
		{
			std::perror("bind");
			std::exit(1);
		}
		return fd;
	}

	sockaddr_in addressOf(int fd)
	{
		sockaddr_in address{};
		socklen_t length = sizeof(address);
		getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
		return address;
	}

	// A blocking receiver thread stamps each datagram; the sender waits for the stamp before the next.
	Percentiles rawOneWay()
	{
		const int sender = boundSocket("127.0.0.1", 0);
		const int receiver = boundSocket("127.0.0.2", 0);
		const sockaddr_in to = addressOf(receiver);
		std::atomic<int64_t> received{-1};
		std::thread thread([&] {
			char buffer[64];
			for (int i = 0; i < samples + warmUp; ++i)
			{
				recv(receiver, buffer, sizeof(buffer), 0);
				received.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
			}
		});
		std::vector<double> values;
		const char payload[28] = "/quarn/camera/select";
		for (int i = 0; i < samples + warmUp; ++i)
		{
			received.store(-1, std::memory_order_release);
			const Clock::time_point sent = Clock::now();
			sendto(sender, payload, sizeof(payload), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
			int64_t stamp = -1;
			while ((stamp = received.load(std::memory_order_acquire)) < 0)
			{
			}
			if (i >= warmUp)
			{
				values.push_back(microseconds(Clock::duration(stamp) - sent.time_since_epoch()));
			}
		}
		thread.join();
		close(sender);
		close(receiver);
		return percentiles(values);
	}

	Percentiles rawRoundTrip()
	{
		const int client = boundSocket("127.0.0.1", 0);
		const int echo = boundSocket("127.0.0.2", 0);
		const sockaddr_in to = addressOf(echo);
		std::thread thread([&] {
			char buffer[64];
			for (int i = 0; i < samples + warmUp; ++i)
			{
				sockaddr_in from{};
				socklen_t length = sizeof(from);
				const ssize_t size = recvfrom(echo, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
				sendto(echo, buffer, static_cast<size_t>(size), 0, reinterpret_cast<sockaddr*>(&from), length);
			}
		});
		std::vector<double> values;
		char buffer[64] = "/quarn/timecode/get";
		for (int i = 0; i < samples + warmUp; ++i)
		{
			const Clock::time_point sent = Clock::now();
			sendto(client, buffer, 24, 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
			recv(client, buffer, sizeof(buffer), 0);
			if (i >= warmUp)
			{
				values.push_back(microseconds(Clock::now() - sent));
			}
		}
		thread.join();
		close(client);
		close(echo);
		return percentiles(values);
	}

	class BenchDelegate final : public QuietServerDelegate
	{
	public:
		void selectCamera(int32_t index) override
		{
			lastIndex.store(index, std::memory_order_relaxed);
			calls.fetch_add(1, std::memory_order_relaxed);
			stamp.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
		}
		quarn::Timecode getTimecode() override { return quarn::Timecode(10, 0, 0, 24, quarn::FrameRate(25.f)); }

		std::atomic<int64_t> stamp{-1};
		std::atomic<int32_t> lastIndex{-1};
		std::atomic<int64_t> calls{0};
	};

	// The studio key the keyed figures use; null runs without one.
	using Key = std::shared_ptr<const quarn::StudioKey>;

	Key benchmarkKey()
	{
		const char secret[] = "the benchmark's studio key, thirty-two bytes long";
		return quarn::StudioKey::fromSecret(reinterpret_cast<const uint8_t*>(secret), sizeof(secret) - 1);
	}

	quarn::ServerConfig boundTo(const char* address, Key key = nullptr)
	{
		quarn::ServerConfig config;
		config.bindAddress = address;
		config.studioKey = std::move(key);
		return config;
	}

	// Sealing one numbered command for a follower and opening it there, as every keyed datagram is.
	double sealAndOpenMicroseconds(const Key& key)
	{
		quarn::codec::Command command;
		command.kind = quarn::codec::CommandKind::SelectCamera;
		quarn::codec::Bytes message;
		quarn::codec::encodeCommand(command, message);
		quarn::codec::Bytes envelope;
		quarn::codec::encodeEnvelope(7, 1, 1, 0, message, envelope);
		quarn::admission::Sealer sealer(key);
		quarn::admission::Opener opener(key);
		const quarn::transport::Endpoint master{0x7f000001, 10001};
		const quarn::transport::Endpoint follower{0x7f000002, 10001};
		quarn::codec::Bytes sealed;
		constexpr int rounds = 200000;
		std::size_t opened = 0;
		const Clock::time_point begin = Clock::now();
		for (int i = 0; i < rounds; ++i)
		{
			sealer.seal(envelope.data(), envelope.size(), follower, sealed);
			std::size_t payload = 0;
			opened += opener.open(sealed.data(), sealed.size(), master, follower, payload) == quarn::admission::Verdict::Accepted ? 1 : 0;
		}
		const double perDatagram = microseconds(Clock::now() - begin) / rounds;
		if (opened != rounds)
		{
			std::fprintf(stderr, "sealed datagrams did not open\n");
			std::exit(1);
		}
		return perDatagram;
	}

	uint16_t freePort()
	{
		const int fd = boundSocket("127.0.0.1", 0);
		const uint16_t port = ntohs(addressOf(fd).sin_port);
		close(fd);
		return port;
	}

	Percentiles broadcastToCallback(uint16_t port, const Key& key = nullptr)
	{
		BenchDelegate masterDelegate;
		BenchDelegate followerDelegate;
		masterDelegate.followers = "127.0.0.2";
		quarn::ServerNode master;
		quarn::ServerNode follower;
		master.setConfig(boundTo("127.0.0.1", key));
		follower.setConfig(boundTo("127.0.0.2", key));
		if (!master.start(&masterDelegate, port, port) || !follower.start(&followerDelegate, port, port))
		{
			std::fprintf(stderr, "cannot start servers on port %u\n", port);
			std::exit(1);
		}
		std::vector<double> values;
		for (int i = 0; i < samples + warmUp; ++i)
		{
			followerDelegate.stamp.store(-1, std::memory_order_release);
			const Clock::time_point sent = Clock::now();
			master.broadcastSelectCamera(i);
			int64_t stamp = -1;
			while ((stamp = followerDelegate.stamp.load(std::memory_order_acquire)) < 0)
			{
			}
			if (i >= warmUp)
			{
				values.push_back(microseconds(Clock::duration(stamp) - sent.time_since_epoch()));
			}
		}
		return percentiles(values);
	}

	Percentiles timecodeRoundTrip(uint16_t port, const Key& key = nullptr)
	{
		BenchDelegate followerDelegate;
		quarn::ServerNode follower;
		follower.setConfig(boundTo("127.0.0.2", key));
		if (!follower.start(&followerDelegate, port, port))
		{
			std::exit(1);
		}
		const int client = boundSocket("127.0.0.1", 0);
		sockaddr_in to{};
		to.sin_family = AF_INET;
		to.sin_port = htons(port);
		inet_pton(AF_INET, "127.0.0.2", &to.sin_addr);
		quarn::codec::Bytes plainRequest;
		quarn::codec::encodeTimecodeRequest(plainRequest);
		// A keyed tool seals each request and opens each answer, as requestTimecode does.
		std::optional<quarn::admission::Sealer> sealer;
		quarn::admission::Opener opener(key);
		if (key)
		{
			sealer.emplace(key);
		}
		const quarn::transport::Endpoint followerEndpoint{0x7f000002, port};
		const quarn::transport::Endpoint clientEndpoint{0x7f000001, ntohs(addressOf(client).sin_port)};
		quarn::codec::Bytes request = plainRequest;
		std::vector<double> values;
		uint8_t buffer[256];
		for (int i = 0; i < samples + warmUp; ++i)
		{
			const Clock::time_point sent = Clock::now();
			if (sealer)
			{
				sealer->seal(plainRequest.data(), plainRequest.size(), followerEndpoint, request);
			}
			sendto(client, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
			const ssize_t size = recv(client, buffer, sizeof(buffer), 0);
			std::size_t payload = 0;
			const bool bOpened = size > 0 && opener.open(buffer, static_cast<std::size_t>(size), followerEndpoint, clientEndpoint, payload) == quarn::admission::Verdict::Accepted;
			const Clock::time_point answered = Clock::now();
			if (!bOpened || quarn::codec::decodeMessage(buffer, payload).kind != quarn::codec::MessageKind::TimecodeAnswer)
			{
				std::fprintf(stderr, "not a timecode answer\n");
				std::exit(1);
			}
			if (i >= warmUp)
			{
				values.push_back(microseconds(answered - sent));
			}
		}
		close(client);
		return percentiles(values);
	}

	// Counts what arrives at a follower in a burst: in order, once each.
	class BurstDelegate final : public QuietServerDelegate
	{
	public:
		BurstDelegate()
			: QuietServerDelegate("127.0.0.2,127.0.0.3")
		{
		}

		void selectCamera(int32_t index) override
		{
			if (index < next)
			{
				++duplicated;
			}
			else
			{
				skipped += index - next;
				next = index + 1;
			}
			calls.fetch_add(1, std::memory_order_relaxed);
		}

		// Receive thread only while the burst runs; read after it.
		int32_t next = 0;
		int64_t duplicated = 0;
		int64_t skipped = 0;
		std::atomic<int64_t> calls{0};
	};

	class DownCounter final : public quarn::ServerObserver
	{
	public:
		void followerDown(const std::string&, std::chrono::milliseconds) override { downs.fetch_add(1); }
		void commandsLost(const std::string&, const std::vector<uint64_t>& commands, quarn::LossReason) override { lost.fetch_add(static_cast<int64_t>(commands.size())); }

		std::atomic<int64_t> downs{0};
		std::atomic<int64_t> lost{0};
	};

	// The floor: the same burst as bare datagrams from one socket to two receivers, nothing
	// acknowledged or repaired; datagrams that arrive per second.
	double rawBurst(int commands)
	{
		const int sender = boundSocket("127.0.0.1", 0);
		const int receivers[2] = {boundSocket("127.0.0.2", 0), boundSocket("127.0.0.3", 0)};
		std::atomic<int64_t> received{0};
		std::atomic<bool> bDone{false};
		std::vector<std::thread> threads;
		for (const int receiver : receivers)
		{
			int size = 16 * 1024 * 1024;
			setsockopt(receiver, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
			timeval wait{0, 100000};
			setsockopt(receiver, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
			threads.emplace_back([&, receiver] {
				char buffer[64];
				while (!bDone.load())
				{
					if (recv(receiver, buffer, sizeof(buffer), 0) > 0)
					{
						received.fetch_add(1, std::memory_order_relaxed);
					}
				}
			});
		}
		const sockaddr_in targets[2] = {addressOf(receivers[0]), addressOf(receivers[1])};
		const char payload[28] = "/quarn/camera/select";
		const Clock::time_point begin = Clock::now();
		for (int i = 0; i < commands; ++i)
		{
			for (const sockaddr_in& to : targets)
			{
				sendto(sender, payload, sizeof(payload), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
			}
		}
		// Received or not, the burst is over once the receivers go quiet for a moment.
		int64_t last = -1;
		while (received.load() != last)
		{
			last = received.load();
			std::this_thread::sleep_for(50ms);
		}
		const double seconds = std::chrono::duration<double>(Clock::now() - begin).count() - 0.05;
		bDone.store(true);
		for (std::thread& thread : threads)
		{
			thread.join();
		}
		close(sender);
		close(receivers[0]);
		close(receivers[1]);
		return static_cast<double>(received.load()) / 2.0 / seconds;
	}

	void acknowledgedThroughput(uint16_t port, int commands)
	{
		const double floor = rawBurst(commands);
		BurstDelegate masterDelegate;
		BurstDelegate firstDelegate;
		BurstDelegate secondDelegate;
		DownCounter events;
		quarn::ServerNode master;
		quarn::ServerNode first;
		quarn::ServerNode second;
		master.setConfig(boundTo("127.0.0.1"));
		master.setObserver(&events);
		first.setConfig(boundTo("127.0.0.2"));
		second.setConfig(boundTo("127.0.0.3"));
		if (!first.start(&firstDelegate, port, port) || !second.start(&secondDelegate, port, port) || !master.start(&masterDelegate, port, port))
		{
			std::exit(1);
		}
		const Clock::time_point begin = Clock::now();
		for (int i = 0; i < commands; ++i)
		{
			master.broadcastSelectCamera(i);
		}
		const bool bAcknowledged = master.waitUntilAcknowledged(60s);
		const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
		// Every command was acknowledged (or given up) now; let the receipts settle before counting.
		master.waitUntilApplied(10s);
		int64_t acknowledged = 0;
		for (const quarn::FollowerState& state : master.followerStates())
		{
			acknowledged += static_cast<int64_t>(state.commandsAcknowledged);
		}
		const int64_t lost = 2 * static_cast<int64_t>(commands) - firstDelegate.calls.load() - secondDelegate.calls.load() + firstDelegate.duplicated + secondDelegate.duplicated;
		const int64_t duplicated = firstDelegate.duplicated + secondDelegate.duplicated;
		const double rate = static_cast<double>(acknowledged) / 2.0 / seconds;
		const quarn::ServerStats stats = master.stats();
		std::printf("%-42s %8.0f commands/s\n", "raw burst to two receivers (floor)", floor);
		std::printf("%-42s %8.0f commands/s  %.2fx raw  (%d commands, %s; lost %lld, reported lost %lld, duplicated %lld, false down reports %lld, %llu retransmitted)\n",
			"acknowledged burst to two followers", rate, rate / floor, commands, bAcknowledged ? "all acknowledged" : "NOT all acknowledged", static_cast<long long>(lost),
			static_cast<long long>(events.lost.load()), static_cast<long long>(duplicated), static_cast<long long>(events.downs.load()),
			static_cast<unsigned long long>(stats.retransmissions));
		std::printf("%-42s out of order %lld, applied receipts %llu of %lld\n", "", static_cast<long long>(firstDelegate.skipped + secondDelegate.skipped),
			static_cast<unsigned long long>(stats.commandsApplied), 2 * static_cast<long long>(commands));
	}
}

int main(int argc, char** argv)
{
	const int commands = argc > 1 ? std::atoi(argv[1]) : 200000;
	const uint16_t port = freePort();

	const Percentiles oneWay = rawOneWay();
	const Percentiles roundTrip = rawRoundTrip();
	const Percentiles callback = broadcastToCallback(port);
	const Percentiles timecode = timecodeRoundTrip(port);
	const Key key = benchmarkKey();
	const Percentiles keyedCallback = broadcastToCallback(port, key);
	const Percentiles keyedTimecode = timecodeRoundTrip(port, key);
	const double keyCost = sealAndOpenMicroseconds(key);

	print("raw UDP one-way (floor)", oneWay);
	print("raw UDP round trip (floor)", roundTrip);
	print("broadcast -> follower callback", callback);
	print("timecode request round trip", timecode);
	print("broadcast -> follower callback, studio key", keyedCallback);
	print("timecode request round trip, studio key", keyedTimecode);
	std::printf("%-42s %8.2f us per datagram  (%.1f%% of raw one-way p50)\n", "studio key: seal + open", keyCost, 100.0 * keyCost / oneWay.p50);
	std::printf("%-42s callback p50 %+.1f us, timecode p50 %+.1f us\n", "studio key adds", keyedCallback.p50 - callback.p50, keyedTimecode.p50 - timecode.p50);
	std::printf("callback / raw one-way      p50 %.2fx  p99 %.2fx  (target p50 <= 2x)\n", callback.p50 / oneWay.p50, callback.p99 / oneWay.p99);
	std::printf("timecode / raw round trip   p50 %.2fx  p99 %.2fx  (target p50 <= 2x)\n", timecode.p50 / roundTrip.p50, timecode.p99 / roundTrip.p99);
	std::printf("keyed callback / raw one-way    p50 %.2fx  p99 %.2fx  (target p50 <= 1.5x)\n", keyedCallback.p50 / oneWay.p50, keyedCallback.p99 / oneWay.p99);
	std::printf("keyed timecode / raw round trip p50 %.2fx  p99 %.2fx  (target p50 <= 1.5x)\n", keyedTimecode.p50 / roundTrip.p50, keyedTimecode.p99 / roundTrip.p99);
	acknowledgedThroughput(port, commands);
	std::printf("(target: >= 100000 acknowledged commands/s; 0 lost, 0 duplicated, 0 false down reports)\n");
	return 0;
}
