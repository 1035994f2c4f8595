// Arbitrary bytes as a PNG file: first through the host's check of the pictures a scenario
// names, then through the engine's reader (FImageUtils::LoadImage), which camera pictures and
// widget images go through. A picture the reader accepts must be whole: a size within its
// limit and one pixel for each place; one the host accepts must be within the host's limit.

#include "ImageUtils.h"
#include "Scenario/PngCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace
{
	// Both take a file name: an in-memory file, rewritten for every input, leaves nothing behind.
	int PictureFile()
	{
		static const int File = memfd_create("PngReaderFuzz", 0);
		return File;
	}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
	const int File = PictureFile();
	if (File < 0 || ftruncate(File, 0) != 0 || pwrite(File, Data, Size, 0) != static_cast<ssize_t>(Size))
	{
		__builtin_trap();
	}
	const std::string Path = "/proc/self/fd/" + std::to_string(File);
	const bool bHostAccepts = !quarnlive::scenario::findPngProblem(Path).has_value();

	FImage Image;
	if (FImageUtils::LoadImage(*FString(Path.c_str()), Image))
	{
		const bool bWhole = Image.SizeX > 0 && Image.SizeY > 0 && Image.SizeX <= 16384 && Image.SizeY <= 16384
			&& Image.RawData.Num() == Image.SizeX * Image.SizeY;
		const int32 HostSide = static_cast<int32>(quarnlive::scenario::maxPngSide);
		if (!bWhole || (bHostAccepts && (Image.SizeX > HostSide || Image.SizeY > HostSide)))
		{
			__builtin_trap();
		}
	}
	else if (bHostAccepts)
	{
		// The host's check ends with the reader itself: it cannot accept what the reader refuses.
		__builtin_trap();
	}
	return 0;
}
