// Dotted-decimal IPv4 addresses, read strictly: the one parser for bind addresses, follower
// lists, allow-lists and command lines.

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn
{
	// Four decimal octets 0..255 of at most three digits each, nothing else (no sign, no
	// spaces, no empty part). The address in host byte order, A the most significant octet.
	std::optional<uint32_t> parseIpv4(std::string_view text);

	// The canonical text: octets in decimal without leading zeros ("10.0.0.2").
	std::string ipv4Text(uint32_t address);
}
