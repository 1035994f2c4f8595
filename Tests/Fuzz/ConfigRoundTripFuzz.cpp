// The configuration parser and writer as a round trip. An input is a file to start from and
// a list of edits with arbitrary values on a few sections and keys. After the edits are
// written, a fresh cache must read exactly what the edits left, every key it did not touch
// must keep its value, and no value may add a key or a section.
//
// Input: [length of the start file, 1 byte][start file][edits...]
// Edit:  [op, 1 byte][value length, 1 byte][value bytes]; the op's bits pick the section,
// the key and set value / set array (the value split at 0xFF bytes) / remove.

#include "Misc/ConfigCacheIni.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
	const char* const Sections[] = {"S0", "S1", "/Script/Game.Settings"};
	const char* const Keys[] = {"K0", "K1", "Paths", "bFlag"};
	// A section and a key no edit names; a value that injected lines would create them.
	const char* const Probes[] = {"Injected", "[Injected]"};

	using FModel = std::map<std::string, std::map<std::string, std::vector<std::string>>>;

	std::string Lower(std::string Text)
	{
		for (char& Character : Text)
		{
			Character = static_cast<char>(std::tolower(static_cast<unsigned char>(Character)));
		}
		return Text;
	}

	/** Every key of the known sections with its values, as a cache reads the file. */
	FModel ReadAll(const FString& Path)
	{
		FConfigCacheIni Config;
		FModel Model;
		for (const char* Section : Sections)
		{
			for (const FString& Key : Config.GetKeys(Section, Path))
			{
				// A hand-written key with a NUL in its name cannot be named through the TCHAR* API.
				if (Key.ToStdString().find('\0') != std::string::npos)
				{
					continue;
				}
				TArray<FString> Values;
				Config.GetArray(Section, *Key, Values, Path);
				std::vector<std::string>& Stored = Model[Section][Lower(Key.ToStdString())];
				for (const FString& Value : Values)
				{
					Stored.push_back(Value.ToStdString());
				}
			}
		}
		return Model;
	}

	void Check(bool bCondition)
	{
		if (!bCondition)
		{
			std::abort();
		}
	}

	/** A folder of its own: a write scans its folder for stale temporary files. */
	std::string TempPath()
	{
		static const std::string Path = [] {
			// Every write syncs the file; memory-backed /dev/shm keeps that cheap.
			const std::filesystem::path Base = std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
			const std::filesystem::path Folder = Base / ("ConfigRoundTripFuzz-" + std::to_string(::getpid()));
			std::filesystem::create_directories(Folder);
			return (Folder / "Game.ini").string();
		}();
		return Path;
	}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	if (Size == 0)
	{
		return 0;
	}
	const size_t StartLength = std::min<size_t>(Data[0], Size - 1);
	const std::string Start(reinterpret_cast<const char*>(Data + 1), StartLength);
	const FString Path(TempPath());
	std::ofstream(TempPath(), std::ios::binary | std::ios::trunc) << Start;

	// What the start file holds, then the edits applied to that by hand.
	FModel Expected = ReadAll(Path);
	const bool bProbePresent = [&] {
		FConfigCacheIni Config;
		return Config.DoesSectionExist(TEXT("Injected"), Path);
	}();
	FConfigCacheIni Writer;
	size_t Offset = 1 + StartLength;
	while (Offset + 2 <= Size)
	{
		const uint8_t Op = Data[Offset];
		const size_t Length = std::min<size_t>(Data[Offset + 1], Size - Offset - 2);
		const std::string Value(reinterpret_cast<const char*>(Data + Offset + 2), Length);
		Offset += 2 + Length;

		const char* Section = Sections[Op % 3];
		const char* Key = Keys[(Op / 3) % 4];
		std::map<std::string, std::vector<std::string>>& Stored = Expected[Section];
		switch ((Op / 12) % 3)
		{
		case 0:
			if (Value.find('\0') != std::string::npos)
			{
				break; // a C string cannot carry it; arrays cover NUL
			}
			Writer.SetString(Section, Key, Value.c_str(), Path);
			Stored[Lower(Key)] = {Value};
			break;
		case 1:
		{
			TArray<FString> Elements;
			std::vector<std::string> Model;
			size_t From = 0;
			for (;;)
			{
				const size_t Split = Value.find('\xFF', From);
				const std::string Element = Value.substr(From, Split == std::string::npos ? std::string::npos : Split - From);
				Elements.Add(FString(Element));
				Model.push_back(Element);
				if (Split == std::string::npos)
				{
					break;
				}
				From = Split + 1;
			}
			Writer.SetArray(Section, Key, Elements, Path);
			Stored[Lower(Key)] = Model;
			break;
		}
		default:
			Writer.RemoveKey(Section, Key, Path);
			Stored.erase(Lower(Key));
			break;
		}
	}
	Writer.Flush(true);
	if (!Writer.GetLastWriteError().IsEmpty())
	{
		return 0;
	}

	for (auto& [Section, Stored] : Expected)
	{
		std::erase_if(Stored, [](const auto& Entry) { return Entry.second.empty(); });
	}
	std::erase_if(Expected, [](const auto& Entry) { return Entry.second.empty(); });
	Check(ReadAll(Path) == Expected);
	FConfigCacheIni Reader;
	Check(Reader.DoesSectionExist(TEXT("Injected"), Path) == bProbePresent);
	for (const char* Section : Sections)
	{
		for (const char* Probe : Probes)
		{
			FString Ignored;
			Check(Reader.GetString(Section, Probe, Ignored, Path) == (Expected.count(Section) && Expected[Section].count(Lower(Probe))));
		}
	}
	return 0;
}
