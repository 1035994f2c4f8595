// "/quarn/report": an engine's role and statuses, follower to master.

#pragma once

#include "Codec/Osc.h"
#include "EngineReport.h"

#include <string_view>

namespace quarn::codec
{
	inline constexpr std::string_view reportAddress = "/quarn/report";

	// Type tags "si" and "sffffs" per status. Texts are cut to the report's limits on a UTF-8
	// character boundary and statuses beyond maxStatuses left out, so the datagram always fits.
	void encodeReport(const EngineReport& report, Bytes& out);

	enum class ReportDecoding : uint8_t
	{
		Decoded,
		WrongTypeTags,
		Malformed,
	};

	ReportDecoding decodeReport(const MessageView& message, EngineReport& out);
}
