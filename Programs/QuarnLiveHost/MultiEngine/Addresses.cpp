#include "MultiEngine/Addresses.h"

#include "Errors.h"

#include "Ipv4Address.h"

#include <algorithm>
#include <sstream>

namespace quarnlive::multiengine
{
	std::optional<std::string> canonicalAddress(const std::string& text)
	{
		const std::optional<uint32_t> address = quarn::parseIpv4(text);
		if (!address)
		{
			return std::nullopt;
		}
		return quarn::ipv4Text(*address);
	}

	std::vector<std::string> parseAddressList(const std::string& text, const std::string& option)
	{
		std::vector<std::string> addresses;
		std::istringstream parts(text);
		for (std::string part; std::getline(parts, part, ',');)
		{
			const std::optional<std::string> address = canonicalAddress(part);
			if (!address)
			{
				throw InputError(option, "'" + part + "' is not an IPv4 address such as 127.0.0.2");
			}
			if (std::find(addresses.begin(), addresses.end(), *address) == addresses.end())
			{
				addresses.push_back(*address);
			}
		}
		if (addresses.empty() || text.back() == ',')
		{
			throw InputError(option, "expected addresses separated by commas, such as 127.0.0.2,127.0.0.3");
		}
		return addresses;
	}
} // namespace quarnlive::multiengine
