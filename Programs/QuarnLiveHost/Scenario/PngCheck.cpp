#include "Scenario/PngCheck.h"

#include "ImageUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>

namespace quarnlive::scenario
{
	namespace
	{
		constexpr std::array<unsigned char, 8> pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
		// Every chunk: 4 bytes of length, 4 of type, the data, 4 of checksum.
		constexpr std::uintmax_t chunkOverhead = 12;

		std::uint32_t bigEndian(const unsigned char* bytes)
		{
			return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
		}

		/** Reads count bytes at offset; false when the file ends first. */
		bool readAt(std::ifstream& stream, std::uintmax_t offset, unsigned char* out, std::size_t count)
		{
			stream.clear();
			stream.seekg(static_cast<std::streamoff>(offset));
			stream.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
			return stream.gcount() == static_cast<std::streamsize>(count);
		}

		std::string chunkName(const unsigned char* type)
		{
			const bool letters = std::all_of(type, type + 4, [](unsigned char c) { return std::isalpha(c) != 0; });
			return letters ? "its " + std::string(type, type + 4) + " chunk" : "a chunk";
		}
	} // namespace

	std::optional<std::string> findPngProblem(const std::filesystem::path& file)
	{
		const std::string name = file.string();
		std::error_code error;
		const std::filesystem::file_status status = std::filesystem::status(file, error);
		if (error || !std::filesystem::exists(status))
		{
			return "cannot read the PNG file " + name;
		}
		// Devices and pipes could be read forever; folders are no pictures either.
		if (!std::filesystem::is_regular_file(status))
		{
			return name + " is not a PNG file";
		}
		const std::uintmax_t size = std::filesystem::file_size(file, error);
		std::ifstream stream(file, std::ios::binary);
		if (error || !stream)
		{
			return "cannot read the PNG file " + name;
		}
		std::array<unsigned char, 8> signature{};
		if (!readAt(stream, 0, signature.data(), signature.size()) || signature != pngSignature)
		{
			return name + " is not a PNG file";
		}
		if (size > maxPngBytes)
		{
			return name + " has " + std::to_string(size) + " bytes: a PNG file may have at most " + std::to_string(maxPngBytes) + " (64 MiB)";
		}

		// The header chunk comes first and gives the size, so nothing is decoded for a giant.
		std::array<unsigned char, 8 + 13> header{};
		if (!readAt(stream, signature.size(), header.data(), header.size()))
		{
			return name + " is truncated: it ends inside its header";
		}
		if (bigEndian(header.data()) != 13 || std::memcmp(header.data() + 4, "IHDR", 4) != 0)
		{
			return name + " is damaged: it does not begin with a header (IHDR) chunk";
		}
		const std::uint32_t width = bigEndian(header.data() + 8);
		const std::uint32_t height = bigEndian(header.data() + 12);
		if (width == 0 || height == 0 || width > maxPngSide || height > maxPngSide)
		{
			return name + " is " + std::to_string(width) + "x" + std::to_string(height) + " pixels: a picture is at least 1x1 and at most "
				+ std::to_string(maxPngSide) + "x" + std::to_string(maxPngSide);
		}

		// A cut-off file is named as such; the decoder would only say it failed.
		for (std::uintmax_t offset = signature.size();;)
		{
			std::array<unsigned char, 8> chunk{};
			if (!readAt(stream, offset, chunk.data(), chunk.size()))
			{
				return name + " is truncated: it ends before its IEND chunk";
			}
			const std::uintmax_t next = offset + chunkOverhead + bigEndian(chunk.data());
			if (next > size)
			{
				return name + " is truncated: it ends inside " + chunkName(chunk.data() + 4);
			}
			if (std::memcmp(chunk.data() + 4, "IEND", 4) == 0)
			{
				break;
			}
			offset = next;
		}

		FImage image;
		if (!FImageUtils::LoadImage(*FString(name), image))
		{
			return name + " is damaged: the engine cannot decode its picture";
		}
		return std::nullopt;
	}
} // namespace quarnlive::scenario
