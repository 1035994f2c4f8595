// End to end: who may command a `quarnlive engine`. Followers on 127.0.0.2, the master on
// 127.0.0.1, strangers on 127.0.0.3 and 127.0.0.4, all on port 10001 (CTest resource lock
// multi_engine_ports). One test forges the master's address with a raw socket (root only).

#include "HostRun.h"
#include "MultiEngineProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>

namespace quarnlive::test
{
	namespace
	{
		const std::string masterAddress = "127.0.0.1";
		const std::string followerAddress = "127.0.0.2";
		// Holds no key and is on nobody's allow-list.
		const std::string strangerAddress = "127.0.0.3";
		const std::string studioSecret = "c3R1ZGlvIGtleSBmb3IgdGhlIGVuZC10by1lbmQgdGVzdHMh";

		std::vector<uint8_t> oscMessage(const std::string& address, const std::string& tags, const std::vector<int32_t>& integers)
		{
			std::vector<uint8_t> bytes;
			const auto text = [&bytes](const std::string& value) {
				bytes.insert(bytes.end(), value.begin(), value.end());
				do
				{
					bytes.push_back(0);
				} while (bytes.size() % 4 != 0);
			};
			text(address);
			text("," + tags);
			for (const int32_t value : integers)
			{
				const uint32_t word = htonl(static_cast<uint32_t>(value));
				const auto* raw = reinterpret_cast<const uint8_t*>(&word);
				bytes.insert(bytes.end(), raw, raw + 4);
			}
			return bytes;
		}

		/** A UDP datagram from a socket of the test's own, bound to `from` (any port). */
		void sendFrom(const std::string& from, const std::string& to, const std::vector<uint8_t>& datagram)
		{
			const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
			sockaddr_in local = {};
			local.sin_family = AF_INET;
			::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
			ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)), 0) << std::strerror(errno);
			sockaddr_in target = {};
			target.sin_family = AF_INET;
			target.sin_port = htons(10001);
			::inet_pton(AF_INET, to.c_str(), &target.sin_addr);
			EXPECT_EQ(::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof(target)), static_cast<ssize_t>(datagram.size()));
			::close(fd);
		}

		/** A raw socket that writes whole IPv4 packets, so the source is whatever the test says. */
		class Forger
		{
		public:
			Forger()
				: fd_(::socket(AF_INET, SOCK_RAW, IPPROTO_RAW)) {}
			~Forger()
			{
				if (fd_ >= 0)
				{
					::close(fd_);
				}
			}
			bool usable() const { return fd_ >= 0; }

			void send(const std::string& from, const std::string& to, const std::vector<uint8_t>& payload) const
			{
				std::vector<uint8_t> packet(sizeof(iphdr) + sizeof(udphdr) + payload.size());
				auto* ip = reinterpret_cast<iphdr*>(packet.data());
				ip->version = 4;
				ip->ihl = 5;
				ip->ttl = 64;
				ip->protocol = IPPROTO_UDP;
				ip->tot_len = htons(static_cast<uint16_t>(packet.size()));
				::inet_pton(AF_INET, from.c_str(), &ip->saddr);
				::inet_pton(AF_INET, to.c_str(), &ip->daddr);
				auto* udp = reinterpret_cast<udphdr*>(packet.data() + sizeof(iphdr));
				udp->source = htons(10001);
				udp->dest = htons(10001);
				udp->len = htons(static_cast<uint16_t>(sizeof(udphdr) + payload.size()));
				// A zero UDP checksum means none, which IPv4 allows; the kernel fills the IP one.
				udp->check = 0;
				std::copy(payload.begin(), payload.end(), packet.begin() + sizeof(iphdr) + sizeof(udphdr));
				sockaddr_in target = {};
				target.sin_family = AF_INET;
				::inet_pton(AF_INET, to.c_str(), &target.sin_addr);
				EXPECT_EQ(::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof(target)), static_cast<ssize_t>(packet.size()))
					<< std::strerror(errno);
			}

		private:
			int fd_;
		};

		bool isReady(const std::string& line)
		{
			return line.rfind("ready: ", 0) == 0 || line.find("\"type\":\"ready\"") != std::string::npos;
		}

		/** The ready line of an engine that prints text. */
		std::string readyText(const EngineProcess& engine)
		{
			for (const std::string& line : engine.lines())
			{
				if (line.rfind("ready: ", 0) == 0)
				{
					return line;
				}
			}
			return "";
		}

		bool isEvent(const std::string& line, const std::string& name)
		{
			const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
			return value.is_object() && value.value("type", "") == "event" && value.value("name", "") == name;
		}

		bool isDropLine(const std::string& line, const std::string& from, const std::string& reason)
		{
			const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
			if (!value.is_object() || value.value("type", "") != "log" || value.value("category", "") != "QuarnVirtualProductionAPI")
			{
				return false;
			}
			const std::string message = value.value("message", "");
			return message.rfind("dropped ", 0) == 0 && message.find(" from " + from + " in the last second: " + reason) != std::string::npos;
		}
	} // namespace

	class StudioSecurity : public HostTest
	{
	protected:
		std::filesystem::path keyFile(mode_t mode, const std::string& content = studioSecret + "\n")
		{
			const std::filesystem::path path = scratch / ("studio-" + std::to_string(++files_) + ".key");
			std::ofstream(path) << content;
			::chmod(path.c_str(), mode);
			return path;
		}

		std::filesystem::path projectFor(const std::string& name, const std::string& defaultEngine = "")
		{
			const std::filesystem::path folder = scratch / name;
			std::filesystem::create_directories(folder / "Config");
			if (!defaultEngine.empty())
			{
				std::ofstream(folder / "Config" / "DefaultEngine.ini") << defaultEngine;
			}
			return folder;
		}

		std::unique_ptr<EngineProcess> startEngine(const std::string& role, const std::string& address, const std::vector<std::string>& extra, bool json = true)
		{
			std::vector<std::string> args = {"engine", "--role", role, "--bind", address, "--project", projectFor(address + "-" + std::to_string(++files_)).string()};
			if (json)
			{
				args.push_back("--json");
			}
			args.insert(args.end(), extra.begin(), extra.end());
			auto engine = std::make_unique<EngineProcess>(args, scratch / (address + "-" + std::to_string(files_) + ".err"));
			EXPECT_TRUE(engine->waitForLines([](const std::string& line) { return isReady(line); }, 1, 60s))
				<< "no ready line from " << address << "; stderr: " << engine->errorOutput();
			return engine;
		}

		static void stop(EngineProcess& engine)
		{
			engine.closeInput();
			EXPECT_EQ(engine.waitForExit(), 0) << engine.errorOutput();
		}

		int files_ = 0;
	};

	TEST_F(StudioSecurity, KeyFileProblemsEndWithExitTwoBeforeAnythingStarts)
	{
		const std::string open = keyFile(0644).string();
		const std::string shortKey = keyFile(0600, "too short\n").string();
		const std::string missing = (scratch / "missing.key").string();
		const struct
		{
			std::vector<std::string> args;
			std::string message;
		} cases[] = {
			{{"engine", "--role", "follower", "--key-file", open}, "--key-file: permissions 0644 for studio key file '" + open + "' are too open"},
			{{"broadcast", "play", "--followers", "127.0.0.2", "--key-file", open}, "--key-file: permissions 0644"},
			{{"timecode", "127.0.0.2", "--key-file", open}, "--key-file: permissions 0644"},
			{{"engine", "--role", "follower", "--key-file", missing}, "--key-file: cannot read studio key file '" + missing + "': No such file or directory"},
			{{"engine", "--role", "follower", "--key-file", shortKey}, "holds 9 bytes; a studio key needs at least 32"},
			{{"engine", "--role", "follower", "--masters", "127.0.0.1,master"}, "--masters: 'master' is not an IPv4 address"},
			{{"engine", "--role", "follower", "--project", projectFor("open-in-project", "[QuarnVirtualProductionAPI.Server]\nStudioKeyFile=" + open + "\n").string()},
				"DefaultEngine.ini:[QuarnVirtualProductionAPI.Server] StudioKeyFile: permissions 0644"},
			{{"run", "--project", projectFor("open-for-scenarios", "[QuarnVirtualProductionAPI.Server]\nStudioKeyFile=" + open + "\n").string()},
				"DefaultEngine.ini:[QuarnVirtualProductionAPI.Server] StudioKeyFile: permissions 0644"},
		};
		for (const auto& [args, message] : cases)
		{
			const RunResult result = run(args);
			EXPECT_EQ(result.exitCode, 2) << args.front() << ": " << result.err;
			EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
			EXPECT_EQ(result.err.find(studioSecret), std::string::npos) << "the key is never printed";
			EXPECT_TRUE(result.out.empty()) << result.out;
		}
	}

	TEST_F(StudioSecurity, TheReadyLineSaysWhomAnEngineTakesCommandsFrom)
	{
		auto open = startEngine("follower", followerAddress, {}, false);
		EXPECT_EQ(readyText(*open), "ready: follower on 127.0.0.2:10001, multi-engine enabled, accepting commands from any host (no studio key, no allow-list)");
		stop(*open);

		// From the project's settings, the key file named relative to the project folder.
		const std::filesystem::path project = projectFor("keyed", "[QuarnVirtualProductionAPI.Server]\nStudioKeyFile=studio.key\n+Masters=127.0.0.1\n");
		std::filesystem::copy_file(keyFile(0600), project / "studio.key");
		EngineProcess keyed({"engine", "--json", "--role", "follower", "--bind", followerAddress, "--project", project.string()}, scratch / "keyed.err");
		ASSERT_TRUE(keyed.waitForType("ready")) << keyed.errorOutput();
		const nlohmann::json ready = keyed.linesOfType("ready").at(0);
		EXPECT_EQ(ready.at("studioKey"), true);
		EXPECT_EQ(ready.at("masters"), nlohmann::json::array({masterAddress}));
		stop(keyed);

		auto listed = startEngine("follower", followerAddress, {"--masters", "127.0.0.1,127.0.0.5"}, false);
		EXPECT_EQ(readyText(*listed), "ready: follower on 127.0.0.2:10001, multi-engine enabled, accepting commands from 127.0.0.1,127.0.0.5 (no studio key)");
		stop(*listed);
	}

	TEST_F(StudioSecurity, WithAStudioKeyOnlyTheKeyedMasterCommandsAFollower)
	{
		const std::string key = keyFile(0600).string();
		auto follower = startEngine("follower", followerAddress, {"--key-file", key, "--masters", masterAddress});
		EXPECT_EQ(follower->linesOfType("ready").at(0).at("studioKey"), true);

		// A stranger without the key, and one with it but not on the allow-list: nobody acknowledges.
		const RunResult plain = run({"broadcast", "record", "start", "--followers", followerAddress, "--bind", strangerAddress, "--wait", "500"});
		EXPECT_EQ(plain.exitCode, 1) << plain.err;
		const RunResult unlisted = run({"broadcast", "stop", "--followers", followerAddress, "--bind", strangerAddress, "--key-file", key, "--wait", "500"});
		EXPECT_EQ(unlisted.exitCode, 1) << unlisted.err;
		sendFrom("127.0.0.4", followerAddress, oscMessage("/quarn/play", "", {}));

		const RunResult sent = run({"broadcast", "camera", "2", "--followers", followerAddress, "--bind", masterAddress, "--key-file", key});
		EXPECT_EQ(sent.exitCode, 0) << sent.out << sent.err;
		ASSERT_TRUE(follower->waitForLines([](const std::string& line) { return isEvent(line, "SelectCamera"); }, 1, 30s));

		const RunResult timecode = run({"timecode", followerAddress, "--bind", masterAddress, "--key-file", key});
		EXPECT_EQ(timecode.exitCode, 0) << timecode.err;
		const RunResult noKey = run({"timecode", followerAddress, "--bind", masterAddress, "--wait", "300"});
		EXPECT_EQ(noKey.exitCode, 1) << "a timecode request without the key is not answered";

		EXPECT_TRUE(follower->waitForLines([](const std::string& line) { return isDropLine(line, strangerAddress, "not on the masters allow-list"); }, 1, 10s));
		EXPECT_TRUE(follower->waitForLines([](const std::string& line) { return isDropLine(line, strangerAddress, "no valid studio key"); }, 1, 10s));
		EXPECT_TRUE(follower->waitForLines([](const std::string& line) { return isDropLine(line, "127.0.0.4", "no valid studio key"); }, 1, 10s));
		const std::vector<nlohmann::json> events = follower->linesOfType("event");
		ASSERT_EQ(events.size(), 1u) << follower->errorOutput();
		EXPECT_EQ(events[0].at("name"), "SelectCamera");
		EXPECT_EQ(events[0].at("args"), nlohmann::json::array({2}));
		stop(*follower);
		EXPECT_EQ(follower->errorOutput().find(studioSecret), std::string::npos);
		for (const std::string& line : follower->lines())
		{
			EXPECT_EQ(line.find(studioSecret), std::string::npos) << line;
		}
	}

	TEST_F(StudioSecurity, WithAKeyADatagramForgedFromTheMastersAddressChangesNothing)
	{
		const Forger forger;
		if (!forger.usable())
		{
			GTEST_SKIP() << "a raw socket needs root (CAP_NET_RAW): " << std::strerror(errno);
		}
		const std::string key = keyFile(0600).string();
		auto master = startEngine("master", masterAddress, {"--key-file", key, "--followers", followerAddress});
		auto follower = startEngine("follower", followerAddress, {"--key-file", key, "--masters", masterAddress});
		master->send("camera 1");
		ASSERT_TRUE(follower->waitForLines([](const std::string& line) { return isEvent(line, "SelectCamera"); }, 1, 30s));

		// From the master's own address and port: plain OSC, a new session of numbered
		// commands, a heartbeat of it, and a datagram dressed in a trailer with a made-up code.
		forger.send(masterAddress, followerAddress, oscMessage("/quarn/record/start", "", {}));
		forger.send(masterAddress, followerAddress, oscMessage("/quarn/heartbeat", "iii", {12345, 1, 0}));
		std::vector<uint8_t> session = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};
		const std::vector<uint8_t> header = oscMessage("/quarn/seq", "iiih", {12345, 1, 1, 0, 0});
		const std::vector<uint8_t> stopCommand = oscMessage("/quarn/stop", "", {});
		for (const std::vector<uint8_t>* element : {&header, &stopCommand})
		{
			const uint32_t size = htonl(static_cast<uint32_t>(element->size()));
			const auto* raw = reinterpret_cast<const uint8_t*>(&size);
			session.insert(session.end(), raw, raw + 4);
			session.insert(session.end(), element->begin(), element->end());
		}
		forger.send(masterAddress, followerAddress, session);
		std::vector<uint8_t> dressed = oscMessage("/quarn/play", "", {});
		const std::string trailer = "QSK1";
		dressed.insert(dressed.end(), trailer.begin(), trailer.end());
		dressed.resize(dressed.size() + 48, 0x5a);
		forger.send(masterAddress, followerAddress, dressed);

		master->send("camera 2");
		ASSERT_TRUE(follower->waitForLines([](const std::string& line) { return isEvent(line, "SelectCamera"); }, 2, 30s));
		EXPECT_TRUE(follower->waitForLines([](const std::string& line) { return isDropLine(line, masterAddress, "no valid studio key"); }, 1, 10s));
		master->send("camera 3");
		ASSERT_TRUE(follower->waitForLines([](const std::string& line) { return isEvent(line, "SelectCamera"); }, 3, 30s));
		std::vector<std::string> names;
		for (const nlohmann::json& event : follower->linesOfType("event"))
		{
			names.push_back(event.at("name").get<std::string>() + " " + event.at("args").dump());
		}
		EXPECT_EQ(names, (std::vector<std::string>{"SelectCamera [1]", "SelectCamera [2]", "SelectCamera [3]"}));
		EXPECT_TRUE(master->linesOfType("followerDown").empty());
		// Receipts carry the key too; the forged session took nothing over.
		EXPECT_TRUE(master->waitForType("receipt", 3, 30s));
		EXPECT_TRUE(master->linesOfType("sessionRestored").empty());
		stop(*master);
		stop(*follower);
	}

	TEST_F(StudioSecurity, WithoutAKeyPlainOscIsTakenOnlyFromTheAllowList)
	{
		auto follower = startEngine("follower", followerAddress, {"--masters", masterAddress});
		sendFrom("127.0.0.4", followerAddress, oscMessage("/quarn/camera/select", "i", {4}));
		sendFrom(masterAddress, followerAddress, oscMessage("/quarn/camera/select", "i", {5}));
		ASSERT_TRUE(follower->waitForLines([](const std::string& line) { return isEvent(line, "SelectCamera"); }, 1, 30s));
		EXPECT_TRUE(follower->waitForLines([](const std::string& line) { return isDropLine(line, "127.0.0.4", "not on the masters allow-list"); }, 1, 10s));
		const std::vector<nlohmann::json> events = follower->linesOfType("event");
		ASSERT_EQ(events.size(), 1u);
		EXPECT_EQ(events[0].at("args"), nlohmann::json::array({5}));
		stop(*follower);
	}
} // namespace quarnlive::test
