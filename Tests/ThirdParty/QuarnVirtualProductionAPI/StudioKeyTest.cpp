// The studio key file and the authenticated envelope: who can seal a datagram, and which
// sealed datagrams a node takes once.

#include "StudioKey.h"
#include "Admission/Seal.h"
#include "Codec/Protocol.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
	using namespace quarn;
	using namespace quarn::admission;
	using transport::Endpoint;

	std::shared_ptr<const StudioKey> keyOf(const std::string& secret)
	{
		return StudioKey::fromSecret(reinterpret_cast<const uint8_t*>(secret.data()), secret.size());
	}

	const std::string studioSecret = "0123456789abcdef0123456789abcdef";

	class StudioKeyFile : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			folder = MakeTestFolder("studio-key");
		}
		void TearDown() override { std::filesystem::remove_all(folder); }

		std::string write(const std::string& content, mode_t mode)
		{
			const std::filesystem::path path = folder / "studio.key";
			std::ofstream(path, std::ios::binary) << content;
			::chmod(path.c_str(), mode);
			return path.string();
		}

		std::filesystem::path folder;
	};

	TEST_F(StudioKeyFile, APrivateFileGivesTheKeyWithoutItsFinalLineEnd)
	{
		std::string error;
		const auto fromFile = StudioKey::load(write(studioSecret + "\r\n", 0600), error);
		ASSERT_NE(fromFile, nullptr) << error;
		const auto direct = keyOf(studioSecret);
		const uint8_t data[] = {1, 2, 3, 4};
		uint8_t mac[StudioKey::macBytes];
		direct->sign(data, sizeof(data), mac);
		EXPECT_TRUE(fromFile->verify(data, sizeof(data), mac));
	}

	TEST_F(StudioKeyFile, AFileOthersCanReadIsRefusedAsSshWould)
	{
		std::string error;
		const std::string path = write(studioSecret, 0640);
		EXPECT_EQ(StudioKey::load(path, error), nullptr);
		EXPECT_EQ(error, "permissions 0640 for studio key file '" + path + "' are too open: it must not be accessible by group or others (chmod 600 '" + path + "')");
		EXPECT_EQ(error.find(studioSecret), std::string::npos);
	}

	TEST_F(StudioKeyFile, MissingEmptyAndShortFilesSayWhatIsWrong)
	{
		std::string error;
		EXPECT_EQ(StudioKey::load((folder / "nowhere.key").string(), error), nullptr);
		EXPECT_NE(error.find("cannot read studio key file"), std::string::npos) << error;
		EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

		EXPECT_EQ(StudioKey::load(write("\n", 0600), error), nullptr);
		EXPECT_NE(error.find("is empty"), std::string::npos) << error;

		EXPECT_EQ(StudioKey::load(write("short secret", 0600), error), nullptr);
		EXPECT_NE(error.find("holds 12 bytes; a studio key needs at least 32"), std::string::npos) << error;
		EXPECT_EQ(error.find("short secret"), std::string::npos) << "the key's bytes never appear in a message";

		EXPECT_EQ(StudioKey::load(folder.string(), error), nullptr);
		EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
	}

	class SealedDatagrams : public ::testing::Test
	{
	protected:
		codec::Bytes camera(int32_t index)
		{
			codec::Command command;
			command.kind = codec::CommandKind::SelectCamera;
			command.integer = index;
			codec::Bytes bytes;
			codec::encodeCommand(command, bytes);
			return bytes;
		}

		codec::Bytes sealed(uint64_t boot, uint64_t counter, const std::shared_ptr<const StudioKey>& with = nullptr)
		{
			const codec::Bytes plain = camera(static_cast<int32_t>(counter));
			codec::Bytes out;
			Sealer::sealWith(with ? *with : *key, boot, counter, plain.data(), plain.size(), follower, out);
			return out;
		}

		Verdict open(const codec::Bytes& bytes, const Endpoint& from)
		{
			std::size_t payload = 0;
			const Verdict verdict = opener.open(bytes.data(), bytes.size(), from, follower, payload);
			if (verdict == Verdict::Accepted)
			{
				EXPECT_EQ(codec::decodeMessage(bytes.data(), payload).kind, codec::MessageKind::Command);
			}
			return verdict;
		}

		Verdict open(const codec::Bytes& bytes) { return open(bytes, master); }

		const Endpoint master{0x7f000001, 10001};
		const Endpoint follower{0x7f000002, 10001};
		const std::shared_ptr<const StudioKey> key = keyOf(studioSecret);
		Opener opener{key};
	};

	TEST_F(SealedDatagrams, ASealedDatagramOpensToTheSameOscBytes)
	{
		Sealer sealer(key);
		const codec::Bytes plain = camera(3);
		codec::Bytes out;
		sealer.seal(plain.data(), plain.size(), follower, out);
		ASSERT_EQ(out.size(), plain.size() + trailerBytes);
		std::size_t payload = 0;
		ASSERT_EQ(opener.open(out.data(), out.size(), master, follower, payload), Verdict::Accepted);
		EXPECT_EQ(codec::Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(payload)), plain);
	}

	TEST_F(SealedDatagrams, PlainOscAWrongKeyAndAnyChangedByteAreNotAuthenticated)
	{
		EXPECT_EQ(open(camera(1)), Verdict::NotAuthenticated);
		EXPECT_EQ(open(sealed(5, 1, keyOf("another studio's key of 32 bytes or more"))), Verdict::NotAuthenticated);
		const codec::Bytes good = sealed(5, 2);
		for (std::size_t at = 0; at < good.size(); ++at)
		{
			codec::Bytes changed = good;
			changed[at] ^= 0x01;
			EXPECT_EQ(open(changed), Verdict::NotAuthenticated) << "byte " << at;
		}
		codec::Bytes cut(good.begin(), good.end() - 1);
		EXPECT_EQ(open(cut), Verdict::NotAuthenticated);
		// None of that touched the window: the untouched datagram still opens once.
		EXPECT_EQ(open(good), Verdict::Accepted);
	}

	TEST_F(SealedDatagrams, EachCounterIsTakenOnceAndReorderingWithinTheWindowIsFine)
	{
		EXPECT_EQ(open(sealed(5, 10)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 10)), Verdict::Replayed);
		EXPECT_EQ(open(sealed(5, 8)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 9)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 8)), Verdict::Replayed);
		EXPECT_EQ(open(sealed(5, 10 + Opener::windowSize)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 10)), Verdict::Replayed) << "now behind the window";
		EXPECT_EQ(open(sealed(5, 11)), Verdict::Accepted) << "still inside it, never seen";
	}

	TEST_F(SealedDatagrams, AnEarlierRunOfTheSenderIsAReplayAndALaterOneTakesOver)
	{
		EXPECT_EQ(open(sealed(5, 100)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(4, 101)), Verdict::Replayed);
		EXPECT_EQ(open(sealed(6, 1)), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 102)), Verdict::Replayed);
		EXPECT_EQ(open(sealed(6, 2)), Verdict::Accepted);
	}

	TEST_F(SealedDatagrams, ADatagramReplayedFromAnotherAddressIsStillAReplay)
	{
		const Endpoint stranger{0x7f000009, 40000};
		EXPECT_EQ(open(sealed(5, 1), master), Verdict::Accepted);
		EXPECT_EQ(open(sealed(5, 1), stranger), Verdict::Replayed);
		EXPECT_EQ(open(sealed(5, 2), stranger), Verdict::Accepted) << "the code does not cover the sender, the run's counter does";
		EXPECT_EQ(open(sealed(4, 1), master), Verdict::Replayed);
	}

	TEST_F(SealedDatagrams, ADatagramSealedForOneFollowerDoesNotOpenAtAnother)
	{
		const codec::Bytes forFollower = sealed(5, 1);
		std::size_t payload = 0;
		EXPECT_EQ(opener.open(forFollower.data(), forFollower.size(), master, Endpoint{0x7f000003, 10001}, payload), Verdict::NotAuthenticated);
		EXPECT_EQ(opener.open(forFollower.data(), forFollower.size(), master, Endpoint{0x7f000002, 10002}, payload), Verdict::NotAuthenticated);
		EXPECT_EQ(open(forFollower), Verdict::Accepted);
	}

	TEST_F(SealedDatagrams, ANodeWithoutAKeyTakesPlainOscAndTellsASealedDatagramApart)
	{
		Opener open(nullptr);
		const codec::Bytes plain = camera(1);
		const codec::Bytes withKey = sealed(5, 1);
		std::size_t payload = 0;
		EXPECT_EQ(open.open(plain.data(), plain.size(), master, follower, payload), Verdict::Accepted);
		EXPECT_EQ(payload, plain.size());
		EXPECT_EQ(open.open(withKey.data(), withKey.size(), master, follower, payload), Verdict::KeyNotExpected);
	}

	TEST(BootIds, EveryRunInAProcessCountsAsLaterThanTheOneBefore)
	{
		uint64_t previous = newBootId();
		for (int i = 0; i < 1000; ++i)
		{
			const uint64_t next = newBootId();
			ASSERT_GT(next, previous);
			previous = next;
		}
	}
}
