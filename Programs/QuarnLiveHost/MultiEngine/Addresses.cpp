#include "MultiEngine/Addresses.h"

#include "Errors.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace quarnlive::multiengine
{
	std::optional<std::string> canonicalAddress(const std::string& text)
	{
		std::string canonical;
		std::size_t start = 0;
		for (int part = 0; part < 4; ++part)
		{
			const std::size_t end = part < 3 ? text.find('.', start) : text.size();
			if (end == std::string::npos || end == start || end - start > 3)
			{
				return std::nullopt;
			}
			int value = 0;
			for (std::size_t i = start; i < end; ++i)
			{
				if (!std::isdigit(static_cast<unsigned char>(text[i])))
				{
					return std::nullopt;
				}
				value = value * 10 + (text[i] - '0');
			}
			if (value > 255)
			{
				return std::nullopt;
			}
			canonical += (part == 0 ? "" : ".") + std::to_string(value);
			start = end + 1;
		}
		return canonical;
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
