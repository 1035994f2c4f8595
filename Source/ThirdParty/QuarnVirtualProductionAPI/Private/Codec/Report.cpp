#include "Codec/Report.h"

#include <algorithm>
#include <string>

namespace quarn::codec
{
	namespace
	{
		constexpr std::string_view headerTags = "si";
		constexpr std::string_view statusTags = "sffffs";

		// At most `limit` bytes, never ending inside a UTF-8 sequence.
		std::string_view cut(std::string_view text, std::size_t limit)
		{
			text = text.substr(0, text.find('\0'));
			if (text.size() <= limit)
			{
				return text;
			}
			std::size_t end = limit;
			while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80)
			{
				--end;
			}
			return text.substr(0, end);
		}
	}

	void encodeReport(const EngineReport& report, Bytes& out)
	{
		const std::size_t count = std::min(report.statuses.size(), EngineReport::maxStatuses);
		std::string tags(headerTags);
		for (std::size_t i = 0; i < count; ++i)
		{
			tags += statusTags;
		}
		OscWriter writer(out);
		writer.begin(reportAddress, tags).text(cut(report.role, EngineReport::maxRoleBytes)).int32(static_cast<int32_t>(report.revision));
		for (std::size_t i = 0; i < count; ++i)
		{
			const ReportedStatus& status = report.statuses[i];
			writer.text(cut(status.name, EngineReport::maxNameBytes));
			for (const float channel : status.color)
			{
				writer.float32(channel);
			}
			writer.text(cut(status.message, EngineReport::maxMessageBytes));
		}
	}

	ReportDecoding decodeReport(const MessageView& message, EngineReport& out)
	{
		std::string_view tags = message.tags;
		if (tags.substr(0, headerTags.size()) != headerTags)
		{
			return ReportDecoding::WrongTypeTags;
		}
		tags.remove_prefix(headerTags.size());
		if (tags.size() % statusTags.size() != 0 || tags.size() / statusTags.size() > EngineReport::maxStatuses)
		{
			return ReportDecoding::WrongTypeTags;
		}
		for (std::size_t at = 0; at < tags.size(); at += statusTags.size())
		{
			if (tags.substr(at, statusTags.size()) != statusTags)
			{
				return ReportDecoding::WrongTypeTags;
			}
		}
		ArgumentReader reader(message);
		std::string_view role;
		int32_t revision = 0;
		if (!reader.text(role) || !reader.int32(revision))
		{
			return ReportDecoding::Malformed;
		}
		EngineReport report;
		report.role = cut(role, EngineReport::maxRoleBytes);
		report.revision = static_cast<uint32_t>(revision);
		for (std::size_t i = 0; i < tags.size() / statusTags.size(); ++i)
		{
			ReportedStatus status;
			std::string_view name;
			std::string_view text;
			if (!reader.text(name) || !reader.float32(status.color[0]) || !reader.float32(status.color[1]) || !reader.float32(status.color[2])
				|| !reader.float32(status.color[3]) || !reader.text(text))
			{
				return ReportDecoding::Malformed;
			}
			status.name = cut(name, EngineReport::maxNameBytes);
			status.message = cut(text, EngineReport::maxMessageBytes);
			report.statuses.push_back(std::move(status));
		}
		if (!reader.atEnd())
		{
			return ReportDecoding::Malformed;
		}
		out = std::move(report);
		return ReportDecoding::Decoded;
	}
}
