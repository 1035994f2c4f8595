#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quarnlive::multiengine
{
	/** The multi-engine server listens and sends on this port on every engine. */
	constexpr unsigned short serverPort = 10001;

	/**
	 * A dotted IPv4 address in its canonical form ("010.0.0.2" -> "10.0.0.2"); nothing when
	 * the text is not four decimal parts of 0 to 255. The server library's parser, so the
	 * command line accepts exactly what the server does; stricter than the engine's follower
	 * parse on purpose: a command line is checked before anything starts.
	 */
	std::optional<std::string> canonicalAddress(const std::string& text);

	/**
	 * "A,B,..." as canonical addresses, duplicates kept out. Throws InputError naming option
	 * for an empty list or a part that is not an address.
	 */
	std::vector<std::string> parseAddressList(const std::string& text, const std::string& option);
} // namespace quarnlive::multiengine
