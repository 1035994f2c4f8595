#include "Ipv4Address.h"

#include <charconv>

namespace quarn
{
	std::optional<uint32_t> parseIpv4(std::string_view text)
	{
		uint32_t result = 0;
		const char* at = text.data();
		const char* end = text.data() + text.size();
		for (int octet = 0; octet < 4; ++octet)
		{
			if (octet > 0)
			{
				if (at == end || *at != '.')
				{
					return std::nullopt;
				}
				++at;
			}
			if (at == end || *at < '0' || *at > '9')
			{
				return std::nullopt;
			}
			unsigned value = 0;
			const auto [next, error] = std::from_chars(at, end, value);
			if (error != std::errc() || value > 255 || next - at > 3)
			{
				return std::nullopt;
			}
			result = (result << 8) | value;
			at = next;
		}
		if (at != end)
		{
			return std::nullopt;
		}
		return result;
	}

	std::string ipv4Text(uint32_t address)
	{
		return std::to_string((address >> 24) & 0xff) + "." + std::to_string((address >> 16) & 0xff) + "." + std::to_string((address >> 8) & 0xff) + "." + std::to_string(address & 0xff);
	}
}
