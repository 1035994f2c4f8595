#include "StudioKey.h"

#include <sodium.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarn
{
	struct StudioKey::Keyed
	{
		// Copied per datagram, so the key's pads are hashed once and not per datagram.
		crypto_auth_hmacsha512256_state state;
	};

	namespace
	{
		std::string octal(mode_t mode)
		{
			char text[8];
			std::snprintf(text, sizeof(text), "%04o", static_cast<unsigned>(mode & 07777));
			return text;
		}

		// Reads at most `limit` + 1 bytes, so an oversized file is told apart without reading it all.
		bool readAll(int fd, std::size_t limit, std::vector<uint8_t>& out)
		{
			out.resize(limit + 3);
			std::size_t used = 0;
			while (used < out.size())
			{
				const ssize_t count = ::read(fd, out.data() + used, out.size() - used);
				if (count < 0 && errno == EINTR)
				{
					continue;
				}
				if (count < 0)
				{
					return false;
				}
				if (count == 0)
				{
					break;
				}
				used += static_cast<std::size_t>(count);
			}
			out.resize(used);
			return true;
		}
	}

	StudioKey::StudioKey(Keyed* keyedState)
		: keyed(keyedState)
	{
	}

	StudioKey::~StudioKey()
	{
		sodium_free(keyed);
	}

	std::shared_ptr<const StudioKey> StudioKey::fromSecret(const uint8_t* secret, std::size_t size)
	{
		if (size < minimumBytes || size > maximumBytes || sodium_init() < 0)
		{
			return nullptr;
		}
		auto* keyed = static_cast<Keyed*>(sodium_malloc(sizeof(Keyed)));
		if (!keyed)
		{
			return nullptr;
		}
		crypto_auth_hmacsha512256_init(&keyed->state, secret, size);
		sodium_mprotect_readonly(keyed);
		return std::shared_ptr<const StudioKey>(new StudioKey(keyed));
	}

	std::shared_ptr<const StudioKey> StudioKey::load(const std::string& path, std::string& error)
	{
		const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
		if (fd < 0)
		{
			error = "cannot read studio key file '" + path + "': " + std::strerror(errno);
			return nullptr;
		}
		struct stat status = {};
		std::vector<uint8_t> secret;
		const bool bStat = ::fstat(fd, &status) == 0;
		const bool bRegular = bStat && S_ISREG(status.st_mode);
		const bool bPrivate = bStat && (status.st_mode & 077) == 0;
		const bool bRead = bRegular && bPrivate && readAll(fd, maximumBytes, secret);
		const int readError = errno;
		::close(fd);
		if (!bRegular)
		{
			error = "studio key file '" + path + "' is not a regular file";
			return nullptr;
		}
		if (!bPrivate)
		{
			error = "permissions " + octal(status.st_mode) + " for studio key file '" + path + "' are too open: it must not be accessible by group or others (chmod 600 '" + path + "')";
			return nullptr;
		}
		if (!bRead)
		{
			error = "cannot read studio key file '" + path + "': " + std::strerror(readError);
			return nullptr;
		}
		// One final line end is not part of the key, so `echo` and editors can write the file.
		if (!secret.empty() && secret.back() == '\n')
		{
			secret.pop_back();
			if (!secret.empty() && secret.back() == '\r')
			{
				secret.pop_back();
			}
		}
		std::shared_ptr<const StudioKey> key;
		if (secret.empty())
		{
			error = "studio key file '" + path + "' is empty";
		}
		else if (secret.size() < minimumBytes)
		{
			error = "studio key file '" + path + "' holds " + std::to_string(secret.size()) + " bytes; a studio key needs at least " + std::to_string(minimumBytes)
				+ " (make one with: head -c 32 /dev/urandom | base64 > '" + path + "'; chmod 600 '" + path + "')";
		}
		else if (secret.size() > maximumBytes)
		{
			error = "studio key file '" + path + "' holds more than " + std::to_string(maximumBytes) + " bytes; is it the right file?";
		}
		else
		{
			key = fromSecret(secret.data(), secret.size());
			if (!key)
			{
				error = "cannot keep the studio key in locked memory";
			}
		}
		sodium_memzero(secret.data(), secret.size());
		return key;
	}

	void StudioKey::sign(const uint8_t* data, std::size_t size, uint8_t* mac, const uint8_t* context, std::size_t contextSize) const
	{
		crypto_auth_hmacsha512256_state state = keyed->state;
		crypto_auth_hmacsha512256_update(&state, data, size);
		if (contextSize > 0)
		{
			crypto_auth_hmacsha512256_update(&state, context, contextSize);
		}
		crypto_auth_hmacsha512256_final(&state, mac);
		sodium_memzero(&state, sizeof(state));
	}

	bool StudioKey::verify(const uint8_t* data, std::size_t size, const uint8_t* mac, const uint8_t* context, std::size_t contextSize) const
	{
		uint8_t expected[macBytes];
		sign(data, size, expected, context, contextSize);
		const bool bValid = crypto_verify_32(expected, mac) == 0;
		sodium_memzero(expected, sizeof(expected));
		return bValid;
	}
}
