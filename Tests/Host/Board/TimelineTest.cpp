// The session record: one whole JSON object a line, readable while it is written.

#include "Board/Timeline.h"

#include "Errors.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quarnlive::board
{
	namespace
	{
		class TimelineFile : public testing::Test
		{
		protected:
			void SetUp() override
			{
				path_ = std::filesystem::temp_directory_path() / ("quarn-timeline-" + std::to_string(::getpid()) + "-" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".jsonl");
				std::filesystem::remove(path_);
			}
			void TearDown() override { std::filesystem::remove(path_); }

			std::vector<std::string> lines() const
			{
				std::ifstream in(path_);
				std::vector<std::string> result;
				for (std::string line; std::getline(in, line);)
				{
					result.push_back(line);
				}
				return result;
			}

			std::filesystem::path path_;
		};
	} // namespace

	TEST_F(TimelineFile, EachEntryIsOneLineWithWallTimeTimecodeTypeAndFieldsReadableAtOnce)
	{
		Timeline timeline(path_);
		// 2026-12-06 03:58:01.000123 UTC
		timeline.write(1796529481000123, "03:58:01:00", "status", {{"address", "127.0.0.2"}, {"name", "TrackingStatus"}, {"message", "line one\nline two"}});
		// Read while the writer is still open: it was flushed.
		const std::vector<std::string> written = lines();
		ASSERT_EQ(written.size(), 1u);
		const nlohmann::ordered_json entry = nlohmann::ordered_json::parse(written[0]);
		EXPECT_EQ(entry.at("wall"), "2026-12-06T03:58:01.000123Z");
		EXPECT_EQ(entry.at("timecode"), "03:58:01:00");
		EXPECT_EQ(entry.at("type"), "status");
		EXPECT_EQ(entry.at("address"), "127.0.0.2");
		EXPECT_EQ(entry.at("message"), "line one\nline two");
		EXPECT_EQ(entry.begin().key(), "wall");
	}

	TEST_F(TimelineFile, AppendsToARecordThatIsAlreadyThere)
	{
		{
			Timeline first(path_);
			first.write(0, "00:00:00:00", "command", {{"command", 1}});
		}
		Timeline second(path_);
		second.write(1000000, "00:00:01:00", "command", {{"command", 2}});
		const std::vector<std::string> written = lines();
		ASSERT_EQ(written.size(), 2u);
		EXPECT_EQ(nlohmann::json::parse(written[1]).at("command"), 2);
		EXPECT_EQ(nlohmann::json::parse(written[0]).at("wall"), "1970-01-01T00:00:00.000000Z");
	}

	TEST_F(TimelineFile, LinesFromManyThreadsNeverInterleave)
	{
		{
			Timeline timeline(path_);
			std::vector<std::thread> writers;
			for (int writer = 0; writer < 4; ++writer)
			{
				writers.emplace_back([&timeline, writer] {
					for (int i = 0; i < 200; ++i)
					{
						timeline.write(i, "00:00:00:00", "receipt", {{"writer", writer}, {"i", i}, {"padding", std::string(300, 'x')}});
					}
				});
			}
			for (std::thread& thread : writers)
			{
				thread.join();
			}
		}
		const std::vector<std::string> written = lines();
		ASSERT_EQ(written.size(), 800u);
		for (const std::string& line : written)
		{
			EXPECT_TRUE(nlohmann::json::accept(line)) << line;
		}
	}

	TEST_F(TimelineFile, AFileThatCannotBeWrittenIsARuntimeFailureNamingIt)
	{
		const std::filesystem::path missing = path_ / "no" / "such" / "folder.jsonl";
		try
		{
			Timeline timeline(missing);
			FAIL() << "opened " << missing;
		}
		catch (const RuntimeFailure& failure)
		{
			EXPECT_NE(std::string(failure.what()).find(missing.string()), std::string::npos) << failure.what();
		}
	}
} // namespace quarnlive::board
