#pragma once

// A UDP socket holding address:10001 (the multi-engine port), as another program on the
// machine would: a server that binds there fails to start.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace quarnlive::test
{
	class PortHolder
	{
	public:
		explicit PortHolder(const std::string& address)
		{
			fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
			sockaddr_in local = {};
			local.sin_family = AF_INET;
			local.sin_port = htons(10001);
			::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
			bound_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) == 0;
		}
		~PortHolder()
		{
			if (fd_ >= 0)
			{
				::close(fd_);
			}
		}
		PortHolder(const PortHolder&) = delete;
		PortHolder& operator=(const PortHolder&) = delete;

		bool bound() const { return bound_; }

	private:
		int fd_ = -1;
		bool bound_ = false;
	};
} // namespace quarnlive::test
