#include "Codec/Osc.h"

#include <bit>
#include <cstring>

namespace quarn::codec
{
	namespace
	{
		constexpr char bundleTag[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', '\0'};

		uint32_t readWord(const uint8_t* at)
		{
			return (uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) | uint32_t(at[3]);
		}

		void putWord(uint8_t* at, uint32_t value)
		{
			at[0] = uint8_t(value >> 24);
			at[1] = uint8_t(value >> 16);
			at[2] = uint8_t(value >> 8);
			at[3] = uint8_t(value);
		}

		// A NUL-terminated string padded with NULs to a multiple of four; returns its padded size or 0.
		std::size_t paddedString(const uint8_t* data, std::size_t size, std::string_view& text)
		{
			const void* nul = std::memchr(data, 0, size);
			if (!nul)
			{
				return 0;
			}
			const std::size_t length = static_cast<const uint8_t*>(nul) - data;
			const std::size_t padded = (length + 4) & ~std::size_t(3);
			if (padded > size)
			{
				return 0;
			}
			for (std::size_t i = length; i < padded; ++i)
			{
				if (data[i] != 0)
				{
					return 0;
				}
			}
			text = std::string_view(reinterpret_cast<const char*>(data), length);
			return padded;
		}
	}

	OscWriter& OscWriter::begin(std::string_view address, std::string_view tags)
	{
		string(address);
		const std::size_t start = buffer.size();
		buffer.push_back(',');
		buffer.insert(buffer.end(), tags.begin(), tags.end());
		buffer.resize(start + ((tags.size() + 1 + 4) & ~std::size_t(3)), 0);
		return *this;
	}

	OscWriter& OscWriter::int32(int32_t value)
	{
		word(static_cast<uint32_t>(value));
		return *this;
	}

	OscWriter& OscWriter::float32(float value)
	{
		word(std::bit_cast<uint32_t>(value));
		return *this;
	}

	OscWriter& OscWriter::int64(int64_t value)
	{
		word(static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32));
		word(static_cast<uint32_t>(value));
		return *this;
	}

	OscWriter& OscWriter::text(std::string_view value)
	{
		string(value.substr(0, value.find('\0')));
		return *this;
	}

	void OscWriter::string(std::string_view text)
	{
		const std::size_t start = buffer.size();
		buffer.insert(buffer.end(), text.begin(), text.end());
		buffer.resize(start + ((text.size() + 4) & ~std::size_t(3)), 0);
	}

	void OscWriter::word(uint32_t value)
	{
		const std::size_t at = buffer.size();
		buffer.resize(at + 4);
		putWord(buffer.data() + at, value);
	}

	void beginBundle(Bytes& out)
	{
		out.insert(out.end(), bundleTag, bundleTag + 8);
		// Time tag 1: "immediately".
		const uint8_t immediately[8] = {0, 0, 0, 0, 0, 0, 0, 1};
		out.insert(out.end(), immediately, immediately + 8);
	}

	void appendBundleElement(Bytes& out, const uint8_t* element, std::size_t size)
	{
		const std::size_t at = out.size();
		out.resize(at + 4);
		putWord(out.data() + at, static_cast<uint32_t>(size));
		out.insert(out.end(), element, element + size);
	}

	bool parseMessage(const uint8_t* data, std::size_t size, MessageView& out)
	{
		if (!data || size < 8 || size % 4 != 0 || data[0] != '/')
		{
			return false;
		}
		const std::size_t addressSize = paddedString(data, size, out.address);
		if (addressSize == 0 || addressSize >= size || data[addressSize] != ',')
		{
			return false;
		}
		std::string_view tags;
		const std::size_t tagsSize = paddedString(data + addressSize, size - addressSize, tags);
		if (tagsSize == 0)
		{
			return false;
		}
		out.tags = tags.substr(1);
		out.arguments = data + addressSize + tagsSize;
		out.argumentsSize = size - addressSize - tagsSize;
		return true;
	}

	bool isBundle(const uint8_t* data, std::size_t size)
	{
		return data && size >= 8 && std::memcmp(data, bundleTag, 8) == 0;
	}

	bool forEachBundleElement(const uint8_t* data, std::size_t size, const std::function<bool(const uint8_t*, std::size_t)>& element)
	{
		if (!isBundle(data, size) || size < 16 || size % 4 != 0)
		{
			return false;
		}
		std::size_t at = 16;
		while (at < size)
		{
			if (size - at < 4)
			{
				return false;
			}
			const uint32_t elementSize = readWord(data + at);
			at += 4;
			if (elementSize == 0 || elementSize % 4 != 0 || elementSize > size - at)
			{
				return false;
			}
			if (!element(data + at, elementSize))
			{
				return false;
			}
			at += elementSize;
		}
		return true;
	}

	bool ArgumentReader::word(uint32_t& value)
	{
		if (end - cursor < 4)
		{
			return false;
		}
		value = readWord(cursor);
		cursor += 4;
		return true;
	}

	bool ArgumentReader::int32(int32_t& value)
	{
		uint32_t raw = 0;
		if (!word(raw))
		{
			return false;
		}
		value = static_cast<int32_t>(raw);
		return true;
	}

	bool ArgumentReader::float32(float& value)
	{
		uint32_t raw = 0;
		if (!word(raw))
		{
			return false;
		}
		value = std::bit_cast<float>(raw);
		return true;
	}

	bool ArgumentReader::int64(int64_t& value)
	{
		uint32_t high = 0;
		uint32_t low = 0;
		if (!word(high) || !word(low))
		{
			return false;
		}
		value = static_cast<int64_t>((uint64_t(high) << 32) | low);
		return true;
	}

	bool ArgumentReader::text(std::string_view& value)
	{
		const std::size_t used = paddedString(cursor, static_cast<std::size_t>(end - cursor), value);
		if (used == 0)
		{
			return false;
		}
		cursor += used;
		return true;
	}
}
