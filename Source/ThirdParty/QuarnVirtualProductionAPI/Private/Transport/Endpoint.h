#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn::transport
{
	// IPv4 address and port in host byte order.
	struct Endpoint
	{
		uint32_t address = 0;
		uint16_t port = 0;

		bool operator==(const Endpoint&) const = default;
		std::string addressText() const;
	};

	// Strict dotted decimal, four octets 0..255, no spaces.
	std::optional<uint32_t> parseAddress(std::string_view text);
}
