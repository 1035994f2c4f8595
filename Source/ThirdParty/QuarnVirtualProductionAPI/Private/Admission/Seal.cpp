#include "Admission/Seal.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>

namespace quarn::admission
{
	namespace
	{
		constexpr uint8_t magic[4] = {'Q', 'S', 'K', '1'};

		void putWord64(uint8_t* at, uint64_t value)
		{
			for (int i = 7; i >= 0; --i)
			{
				at[i] = static_cast<uint8_t>(value);
				value >>= 8;
			}
		}

		uint64_t word64(const uint8_t* at)
		{
			uint64_t value = 0;
			for (int i = 0; i < 8; ++i)
			{
				value = (value << 8) | at[i];
			}
			return value;
		}

		// The destination as the code covers it: address then port, big-endian.
		std::array<uint8_t, 6> destinationOf(const transport::Endpoint& to)
		{
			return {static_cast<uint8_t>(to.address >> 24), static_cast<uint8_t>(to.address >> 16), static_cast<uint8_t>(to.address >> 8), static_cast<uint8_t>(to.address),
				static_cast<uint8_t>(to.port >> 8), static_cast<uint8_t>(to.port)};
		}
	}

	uint64_t newBootId()
	{
		const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
		std::random_device device;
		const uint64_t candidate = (static_cast<uint64_t>(now) << 20) | (device() & 0xfffffu);
		// A node restarted within the same millisecond must still count as the later run.
		static std::atomic<uint64_t> last{0};
		uint64_t previous = last.load(std::memory_order_relaxed);
		uint64_t boot = 0;
		do
		{
			boot = std::max(candidate, previous + 1);
		} while (!last.compare_exchange_weak(previous, boot, std::memory_order_relaxed));
		return boot;
	}

	bool looksSealed(const uint8_t* data, std::size_t size)
	{
		return size >= trailerBytes && std::memcmp(data + size - trailerBytes, magic, sizeof(magic)) == 0;
	}

	Sealer::Sealer(std::shared_ptr<const StudioKey> studioKey, uint64_t bootId)
		: key(std::move(studioKey))
		, boot(bootId)
	{
	}

	void Sealer::seal(const uint8_t* data, std::size_t size, const transport::Endpoint& to, codec::Bytes& out)
	{
		sealWith(*key, boot, counter.fetch_add(1, std::memory_order_relaxed) + 1, data, size, to, out);
	}

	void Sealer::sealWith(const StudioKey& key, uint64_t boot, uint64_t counter, const uint8_t* data, std::size_t size, const transport::Endpoint& to, codec::Bytes& out)
	{
		out.resize(size + trailerBytes);
		std::memcpy(out.data(), data, size);
		uint8_t* trailer = out.data() + size;
		std::memcpy(trailer, magic, sizeof(magic));
		putWord64(trailer + 4, boot);
		putWord64(trailer + 12, counter);
		const std::array<uint8_t, 6> destination = destinationOf(to);
		key.sign(out.data(), size + 20, trailer + 20, destination.data(), destination.size());
	}

	Opener::Opener(std::shared_ptr<const StudioKey> studioKey)
		: key(std::move(studioKey))
	{
	}

	Verdict Opener::open(const uint8_t* data, std::size_t size, const transport::Endpoint& from, const transport::Endpoint& to, std::size_t& payloadSize)
	{
		const bool bSealed = looksSealed(data, size);
		if (!key)
		{
			payloadSize = size;
			return bSealed ? Verdict::KeyNotExpected : Verdict::Accepted;
		}
		const std::array<uint8_t, 6> destination = destinationOf(to);
		if (!bSealed || !key->verify(data, size - StudioKey::macBytes, data + size - StudioKey::macBytes, destination.data(), destination.size()))
		{
			return Verdict::NotAuthenticated;
		}
		// Only authenticated datagrams reach the windows: nobody without the key can grow them.
		const uint8_t* trailer = data + size - trailerBytes;
		const uint64_t boot = word64(trailer + 4);
		const uint64_t sender = (uint64_t(from.address) << 16) | from.port;
		auto newest = newestBoot.find(sender);
		if (newest != newestBoot.end() && boot < newest->second)
		{
			// An earlier run of this sender: a recording played back.
			return Verdict::Replayed;
		}
		Window* window = windowFor(boot);
		if (!window || !accept(*window, word64(trailer + 12)))
		{
			return Verdict::Replayed;
		}
		if (newest == newestBoot.end())
		{
			if (newestBoot.size() >= maxRuns)
			{
				newestBoot.erase(newestBoot.begin());
			}
			newestBoot.emplace(sender, boot);
		}
		else
		{
			newest->second = boot;
		}
		payloadSize = size - trailerBytes;
		return Verdict::Accepted;
	}

	Opener::Window* Opener::windowFor(uint64_t boot)
	{
		auto found = windows.find(boot);
		if (found == windows.end())
		{
			if (boot <= forgottenUpTo)
			{
				return nullptr;
			}
			if (windows.size() >= maxRuns)
			{
				// The run heard from least recently goes; its counters can no longer be told apart.
				auto oldest = windows.begin();
				for (auto candidate = windows.begin(); candidate != windows.end(); ++candidate)
				{
					if (candidate->second.lastUsed < oldest->second.lastUsed)
					{
						oldest = candidate;
					}
				}
				forgottenUpTo = std::max(forgottenUpTo, oldest->first);
				windows.erase(oldest);
			}
			found = windows.emplace(boot, Window{}).first;
		}
		found->second.lastUsed = ++uses;
		return &found->second;
	}

	bool Opener::accept(Window& window, uint64_t counter)
	{
		const auto bit = [&window](uint64_t value) -> std::pair<uint64_t&, uint64_t> {
			const uint64_t index = value % windowSize;
			return {window.seen[index / 64], uint64_t(1) << (index % 64)};
		};
		if (counter > window.highest)
		{
			// Clear the slots the window slides over, at most all of them.
			if (counter - window.highest >= windowSize)
			{
				window.seen.fill(0);
			}
			else
			{
				for (uint64_t value = window.highest + 1; value <= counter; ++value)
				{
					auto [word, mask] = bit(value);
					word &= ~mask;
				}
			}
			window.highest = counter;
		}
		else if (window.highest - counter >= windowSize)
		{
			return false;
		}
		auto [word, mask] = bit(counter);
		if (word & mask)
		{
			return false;
		}
		word |= mask;
		return true;
	}
}
