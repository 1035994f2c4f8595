// Multi-engine server latency and throughput on loopback, against the raw UDP floor
// measured in the same run: one-way and round trip of bare datagrams, broadcast to the
// follower's callback, timecode round trip (each without and with the studio key, and the
// key's cost per datagram), and acknowledged commands per second to two followers. Prints
// p50/p99 and the ratios; it is a measurement, not a pass/fail test.

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

	void acknowledgedThroughput(uint16_t port, int commands)
	{
		BenchDelegate masterDelegate;
		BenchDelegate firstDelegate;
		BenchDelegate secondDelegate;
		masterDelegate.followers = "127.0.0.2,127.0.0.3";
		quarn::ServerNode master;
		quarn::ServerNode first;
		quarn::ServerNode second;
		master.setConfig(boundTo("127.0.0.1"));
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
		const bool bComplete = firstDelegate.calls.load() == commands && secondDelegate.calls.load() == commands && firstDelegate.lastIndex.load() == commands - 1 && secondDelegate.lastIndex.load() == commands - 1;
		const quarn::ServerStats stats = master.stats();
		std::printf("%-42s %8.0f commands/s (%d commands, %s, %s, %llu retransmitted)\n", "acknowledged broadcast to two followers", commands / seconds, commands,
			bAcknowledged ? "all acknowledged" : "NOT all acknowledged", bComplete ? "none lost" : "SOME LOST", static_cast<unsigned long long>(stats.retransmissions));
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
	std::printf("(target: >= 50000 acknowledged commands/s, none lost)\n");
	return 0;
}
