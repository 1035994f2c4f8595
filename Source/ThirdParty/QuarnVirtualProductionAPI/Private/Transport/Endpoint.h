#pragma once

#include <cstdint>
#include <string>

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
}
