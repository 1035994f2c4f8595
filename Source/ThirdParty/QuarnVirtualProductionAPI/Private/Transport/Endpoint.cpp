#include "Transport/Endpoint.h"

#include "Ipv4Address.h"

namespace quarn::transport
{
	std::string Endpoint::addressText() const
	{
		return ipv4Text(address);
	}
}
