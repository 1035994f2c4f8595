// "/quarn/report": what a follower tells its master about its role and statuses.

#include "Codec/Osc.h"
#include "Codec/Protocol.h"
#include "Codec/Report.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
	using namespace quarn::codec;

	quarn::EngineReport sampleReport()
	{
		quarn::EngineReport report;
		report.role = "follower";
		report.revision = 7;
		report.statuses.push_back({"TrackingStatus", {1.0f, 1.0f, 0.0f, 1.0f}, "Tracker lost: check the cable"});
		report.statuses.push_back({"LensStatus", {0.0f, 1.0f, 0.0f, 1.0f}, ""});
		return report;
	}

	TEST(ReportCodec, ARoleAndItsStatusesComeBackAsSent)
	{
		Bytes bytes;
		encodeReport(sampleReport(), bytes);
		const Decoded decoded = decodeMessage(bytes.data(), bytes.size());
		ASSERT_EQ(decoded.kind, MessageKind::Report);
		EXPECT_EQ(decoded.report, sampleReport());
	}

	TEST(ReportCodec, LongTextsAreCutOnACharacterBoundarySoTheDatagramFits)
	{
		quarn::EngineReport report = sampleReport();
		// "é" is two bytes: a cut at an odd length would split one.
		std::string accents;
		for (int i = 0; i < 200; ++i)
		{
			accents += "é";
		}
		report.statuses[0].message = "x" + accents;
		for (int i = 0; i < 12; ++i)
		{
			report.statuses.push_back({"Extra" + std::to_string(i), {1.0f, 0.0f, 0.0f, 1.0f}, accents});
		}
		Bytes bytes;
		encodeReport(report, bytes);
		EXPECT_LE(bytes.size(), 2048u - 64u);
		const Decoded decoded = decodeMessage(bytes.data(), bytes.size());
		ASSERT_EQ(decoded.kind, MessageKind::Report);
		ASSERT_EQ(decoded.report.statuses.size(), quarn::EngineReport::maxStatuses);
		const std::string& message = decoded.report.statuses[0].message;
		EXPECT_LE(message.size(), quarn::EngineReport::maxMessageBytes);
		EXPECT_EQ(message.size() % 2, 1u) << "the cut split a character";
		EXPECT_EQ(message.substr(0, 3), "xé");
	}

	TEST(ReportCodec, OtherTypeTagsAreRefusedAndTruncatedArgumentsAreMalformed)
	{
		Bytes wrong;
		OscWriter(wrong).begin(reportAddress, "si"
											  "sfffs")
			.text("follower")
			.int32(1)
			.text("TrackingStatus")
			.float32(1)
			.float32(0)
			.float32(0)
			.text("");
		EXPECT_EQ(decodeMessage(wrong.data(), wrong.size()).kind, MessageKind::WrongTypeTags);

		Bytes noHeader;
		OscWriter(noHeader).begin(reportAddress, "i").int32(1);
		EXPECT_EQ(decodeMessage(noHeader.data(), noHeader.size()).kind, MessageKind::WrongTypeTags);

		Bytes bytes;
		encodeReport(sampleReport(), bytes);
		// The tags promise a last string that is no longer there.
		bytes.resize(bytes.size() - 4);
		EXPECT_EQ(decodeMessage(bytes.data(), bytes.size()).kind, MessageKind::Malformed);
	}
}
