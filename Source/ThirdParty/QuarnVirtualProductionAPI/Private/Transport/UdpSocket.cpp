#include "Transport/UdpSocket.h"

#include "Ipv4Address.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quarn::transport
{
	namespace
	{
		sockaddr_in toSockaddr(const Endpoint& endpoint)
		{
			sockaddr_in address{};
			address.sin_family = AF_INET;
			address.sin_port = htons(endpoint.port);
			address.sin_addr.s_addr = htonl(endpoint.address);
			return address;
		}

		void setBuffer(int fd, int forced, int plain, int bytes)
		{
			// The forced form passes the system cap but needs privilege; the plain one is capped.
			if (setsockopt(fd, SOL_SOCKET, forced, &bytes, sizeof(bytes)) != 0)
			{
				setsockopt(fd, SOL_SOCKET, plain, &bytes, sizeof(bytes));
			}
		}
	}

	UdpSocket::~UdpSocket()
	{
		close();
	}

	bool UdpSocket::open(const std::string& bindAddress, uint16_t port, int receiveBufferBytes, int sendBufferBytes, std::string& error)
	{
		close();
		const std::optional<uint32_t> address = parseIpv4(bindAddress);
		if (!address)
		{
			error = "not an IPv4 address: " + bindAddress;
			return false;
		}
		fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
		wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
		if (fd < 0 || wakeFd < 0)
		{
			error = std::string("socket: ") + std::strerror(errno);
			close();
			return false;
		}
		// Each datagram's destination address, which the studio key's code covers.
		const int on = 1;
		setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof(on));
		setBuffer(fd, SO_RCVBUFFORCE, SO_RCVBUF, receiveBufferBytes);
		setBuffer(fd, SO_SNDBUFFORCE, SO_SNDBUF, sendBufferBytes);
		const sockaddr_in local = toSockaddr(Endpoint{*address, port});
		if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0)
		{
			error = "cannot bind " + bindAddress + ":" + std::to_string(port) + ": " + std::strerror(errno);
			close();
			return false;
		}
		localPort = localEndpoint().port;
		return true;
	}

	void UdpSocket::close()
	{
		if (fd >= 0)
		{
			::close(fd);
			fd = -1;
		}
		if (wakeFd >= 0)
		{
			::close(wakeFd);
			wakeFd = -1;
		}
	}

	Endpoint UdpSocket::localEndpoint() const
	{
		sockaddr_in local{};
		socklen_t length = sizeof(local);
		if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
		{
			return {};
		}
		return Endpoint{ntohl(local.sin_addr.s_addr), ntohs(local.sin_port)};
	}

	int UdpSocket::receiveBufferBytes() const
	{
		int bytes = 0;
		socklen_t length = sizeof(bytes);
		getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, &length);
		return bytes;
	}

	bool UdpSocket::send(const uint8_t* data, std::size_t size, const Endpoint& to) const
	{
		const sockaddr_in destination = toSockaddr(to);
		return sendto(fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&destination), sizeof(destination)) == static_cast<ssize_t>(size);
	}

	bool UdpSocket::wait(std::chrono::milliseconds timeout) const
	{
		pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
		const int ready = poll(fds, 2, static_cast<int>(timeout.count()));
		return ready > 0 && (fds[0].revents & POLLIN) && !(fds[1].revents & POLLIN);
	}

	void UdpSocket::wake() const
	{
		const uint64_t one = 1;
		[[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof(one));
	}

	void UdpSocket::clearWake() const
	{
		uint64_t value = 0;
		[[maybe_unused]] const ssize_t read = ::read(wakeFd, &value, sizeof(value));
	}

	int UdpSocket::receiveBatch(ReceivedDatagram* out)
	{
		mmsghdr messages[batchSize];
		iovec vectors[batchSize];
		sockaddr_in senders[batchSize];
		std::memset(messages, 0, sizeof(messages));
		for (int i = 0; i < batchSize; ++i)
		{
			vectors[i] = {buffers[i], maxDatagram};
			messages[i].msg_hdr.msg_iov = &vectors[i];
			messages[i].msg_hdr.msg_iovlen = 1;
			messages[i].msg_hdr.msg_name = &senders[i];
			messages[i].msg_hdr.msg_namelen = sizeof(senders[i]);
			messages[i].msg_hdr.msg_control = controls[i];
			messages[i].msg_hdr.msg_controllen = sizeof(controls[i]);
		}
		const int count = recvmmsg(fd, messages, batchSize, MSG_DONTWAIT, nullptr);
		if (count <= 0)
		{
			return 0;
		}
		for (int i = 0; i < count; ++i)
		{
			out[i].data = buffers[i];
			out[i].size = messages[i].msg_len;
			out[i].truncated = (messages[i].msg_hdr.msg_flags & MSG_TRUNC) != 0;
			out[i].from = Endpoint{ntohl(senders[i].sin_addr.s_addr), ntohs(senders[i].sin_port)};
			out[i].to = Endpoint{0, localPort};
			for (cmsghdr* control = CMSG_FIRSTHDR(&messages[i].msg_hdr); control; control = CMSG_NXTHDR(&messages[i].msg_hdr, control))
			{
				if (control->cmsg_level == IPPROTO_IP && control->cmsg_type == IP_PKTINFO)
				{
					in_pktinfo info;
					std::memcpy(&info, CMSG_DATA(control), sizeof(info));
					out[i].to.address = ntohl(info.ipi_addr.s_addr);
				}
			}
		}
		return count;
	}
}
