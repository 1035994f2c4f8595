// The studio key: a secret shared by the engines of one studio, read from a key file. With it
// every datagram carries a message authentication code, so only holders of the key can
// command a follower (docs/protocol.md, "Studio key").

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quarn
{
	class StudioKey
	{
	public:
		// A shorter secret is refused: 32 random bytes, or 32 characters of base64 or hex.
		static constexpr std::size_t minimumBytes = 32;
		static constexpr std::size_t maximumBytes = 4096;
		static constexpr std::size_t macBytes = 32;

		// The key held in `path`: the file's bytes without one final line end. Null with
		// `error` saying what is wrong when the file is missing, unreadable, not a regular
		// file, accessible by group or others (as ssh refuses a private key), empty, too short
		// or too long. `error` names the file but never holds any of its bytes.
		static std::shared_ptr<const StudioKey> load(const std::string& path, std::string& error);
		// For tools and tests that hold the secret themselves; null when it is too short or too long.
		static std::shared_ptr<const StudioKey> fromSecret(const uint8_t* secret, std::size_t size);

		~StudioKey();
		StudioKey(const StudioKey&) = delete;
		StudioKey& operator=(const StudioKey&) = delete;

		// HMAC-SHA512-256 of `data` followed by `context` (bytes both ends know and that do not
		// travel), macBytes long. Thread-safe.
		void sign(const uint8_t* data, std::size_t size, uint8_t* mac, const uint8_t* context = nullptr, std::size_t contextSize = 0) const;
		// Whether `mac` is the code of `data` and `context`, compared in constant time. Thread-safe.
		bool verify(const uint8_t* data, std::size_t size, const uint8_t* mac, const uint8_t* context = nullptr, std::size_t contextSize = 0) const;

	private:
		struct Keyed;

		explicit StudioKey(Keyed* keyed);

		// In guarded, locked memory: the HMAC state with the key already absorbed.
		Keyed* keyed;
	};
}
