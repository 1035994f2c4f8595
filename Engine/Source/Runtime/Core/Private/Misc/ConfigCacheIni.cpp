#include "Misc/ConfigCacheIni.h"

#include "Misc/Paths.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FConfigCacheIni* GConfig = nullptr;
FString GEngineIni;
FString GGameIni;
FString GEditorIni;

namespace
{
	bool IsBlankChar(char Character)
	{
		return Character == ' ' || Character == '\t' || Character == '\r' || Character == '\n';
	}

	std::string_view TrimView(std::string_view Text)
	{
		while (!Text.empty() && IsBlankChar(Text.front()))
		{
			Text.remove_prefix(1);
		}
		while (!Text.empty() && IsBlankChar(Text.back()))
		{
			Text.remove_suffix(1);
		}
		return Text;
	}

	bool EqualsIgnoreCase(std::string_view A, std::string_view B)
	{
		if (A.size() != B.size())
		{
			return false;
		}
		for (SIZE_T Index = 0; Index < A.size(); ++Index)
		{
			if (FChar::ToLower(A[Index]) != FChar::ToLower(B[Index]))
			{
				return false;
			}
		}
		return true;
	}

	/** Quotes only what would not read back as written: edge whitespace, or quotes of its own at both ends. */
	std::string EncodeValue(std::string_view Value)
	{
		const bool bEdgeWhitespace = !Value.empty() && (IsBlankChar(Value.front()) || IsBlankChar(Value.back()));
		const bool bLooksQuoted = Value.size() >= 2 && Value.front() == '"' && Value.back() == '"';
		if (!bEdgeWhitespace && !bLooksQuoted)
		{
			return std::string(Value);
		}
		std::string Result = "\"";
		for (const char Character : Value)
		{
			if (Character == '"')
			{
				Result += '\\';
			}
			Result += Character;
		}
		Result += '"';
		return Result;
	}

	std::string DecodeValue(std::string_view Value)
	{
		if (Value.size() < 2 || Value.front() != '"' || Value.back() != '"')
		{
			return std::string(Value);
		}
		Value = Value.substr(1, Value.size() - 2);
		std::string Result;
		Result.reserve(Value.size());
		for (SIZE_T Index = 0; Index < Value.size(); ++Index)
		{
			if (Value[Index] == '\\' && Index + 1 < Value.size() && Value[Index + 1] == '"')
			{
				++Index;
			}
			Result += Value[Index];
		}
		return Result;
	}

	template <typename NumberType>
	bool ParseNumber(const FString& Text, NumberType& OutValue)
	{
		std::string_view View(Text.ToStdString());
		if (!View.empty() && View.front() == '+')
		{
			View.remove_prefix(1);
		}
		if (View.empty())
		{
			return false;
		}
		NumberType Parsed{};
		const char* const End = View.data() + View.size();
		const std::from_chars_result Result = std::from_chars(View.data(), End, Parsed);
		if (Result.ec != std::errc() || Result.ptr != End)
		{
			return false;
		}
		OutValue = Parsed;
		return true;
	}

	std::string ErrorText(const std::string& Path, int ErrorCode)
	{
		return Path + ": " + std::strerror(ErrorCode);
	}

	bool ReadWholeFile(const std::string& Path, std::string& OutText, int& OutError)
	{
		OutError = 0;
		const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
		if (Fd < 0)
		{
			OutError = errno;
			return false;
		}
		char Buffer[16384];
		for (;;)
		{
			const ssize_t Count = ::read(Fd, Buffer, sizeof(Buffer));
			if (Count == 0)
			{
				break;
			}
			if (Count < 0)
			{
				if (errno == EINTR)
				{
					continue;
				}
				OutError = errno;
				::close(Fd);
				return false;
			}
			OutText.append(Buffer, static_cast<SIZE_T>(Count));
		}
		::close(Fd);
		return true;
	}

	/** Readers see either the old file or the complete new one, never a torn write. */
	bool WriteFileAtomically(const std::string& Path, const std::string& Contents, std::string& OutError)
	{
		const std::filesystem::path Parent = std::filesystem::path(Path).parent_path();
		if (!Parent.empty())
		{
			std::error_code Error;
			std::filesystem::create_directories(Parent, Error);
			if (Error)
			{
				OutError = Path + ": " + Error.message();
				return false;
			}
		}

		mode_t Mode = 0644;
		struct stat Existing;
		if (::stat(Path.c_str(), &Existing) == 0 && S_ISREG(Existing.st_mode))
		{
			Mode = Existing.st_mode & 07777;
		}

		const std::string TempPath = Path + ".tmp." + std::to_string(::getpid());
		const int Fd = ::open(TempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, Mode);
		if (Fd < 0)
		{
			OutError = ErrorText(Path, errno);
			return false;
		}
		auto Fail = [&](int ErrorCode, bool bStillOpen)
		{
			if (bStillOpen)
			{
				::close(Fd);
			}
			::unlink(TempPath.c_str());
			OutError = ErrorText(Path, ErrorCode);
			return false;
		};

		// The umask may have narrowed the mode; an existing file keeps its own.
		::fchmod(Fd, Mode);
		SIZE_T Written = 0;
		while (Written < Contents.size())
		{
			const ssize_t Count = ::write(Fd, Contents.data() + Written, Contents.size() - Written);
			if (Count < 0)
			{
				if (errno == EINTR)
				{
					continue;
				}
				return Fail(errno, true);
			}
			Written += static_cast<SIZE_T>(Count);
		}
		if (::fsync(Fd) != 0)
		{
			return Fail(errno, true);
		}
		if (::close(Fd) != 0)
		{
			return Fail(errno, false);
		}
		if (::rename(TempPath.c_str(), Path.c_str()) != 0)
		{
			return Fail(errno, false);
		}

		// Make the rename itself durable; failing here leaves a correct file, so it is not an error.
		const std::string Folder = Parent.empty() ? std::string(".") : Parent.string();
		const int FolderFd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
		if (FolderFd >= 0)
		{
			::fsync(FolderFd);
			::close(FolderFd);
		}
		return true;
	}
} // namespace

/**
 * One ini file kept as its original lines, so that writing it back changes only the lines
 * of the keys that were set or removed.
 */
class FConfigFile
{
public:
	enum class ELineKind : uint8
	{
		Other,
		Section,
		Key,
	};

	struct FLine
	{
		/** The line as read, without '\n' but with a '\r' it had. */
		std::string Raw;
		ELineKind Kind = ELineKind::Other;
		/** The section or key name. */
		std::string Name;
		/** 0 for Key=Value, else one of + . - ! */
		char Op = 0;
		/** The value text as written (quotes still on). */
		std::string Value;
		/** Where the value starts in Raw; what precedes it is kept when the value changes. */
		SIZE_T ValueStart = 0;
	};

	bool bDirty = false;
	/** Why an existing file could not be read; such a file is never written over. */
	std::string LoadError;

	void Load(const std::string& Path)
	{
		std::string Text;
		int Error = 0;
		if (!ReadWholeFile(Path, Text, Error))
		{
			if (Error != ENOENT && Error != ENOTDIR)
			{
				LoadError = ErrorText(Path, Error);
			}
			return;
		}
		Parse(Text);
	}

	void Parse(std::string_view Text)
	{
		Lines.clear();
		bTrailingNewline = !Text.empty() && Text.back() == '\n';
		if (bTrailingNewline)
		{
			Text.remove_suffix(1);
		}
		if (Text.empty() && !bTrailingNewline)
		{
			return;
		}
		SIZE_T Start = 0;
		for (;;)
		{
			const SIZE_T End = Text.find('\n', Start);
			Lines.push_back(MakeLine(std::string(Text.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start)), Lines.empty()));
			if (End == std::string_view::npos)
			{
				break;
			}
			Start = End + 1;
		}
		bCrlf = !Lines.empty() && !Lines.front().Raw.empty() && Lines.front().Raw.back() == '\r';
	}

	std::string Serialize() const
	{
		std::string Text;
		for (SIZE_T Index = 0; Index < Lines.size(); ++Index)
		{
			Text += Lines[Index].Raw;
			if (Index + 1 < Lines.size() || bTrailingNewline)
			{
				Text += '\n';
			}
		}
		return Text;
	}

	bool HasSection(std::string_view Section) const
	{
		for (const FLine& Line : Lines)
		{
			if (Line.Kind == ELineKind::Section && EqualsIgnoreCase(Line.Name, Section))
			{
				return true;
			}
		}
		return false;
	}

	/** The values of Key after applying its lines in file order, quotes removed. */
	std::vector<std::string> GetValues(std::string_view Section, std::string_view Key) const
	{
		std::vector<std::string> Values;
		for (const SIZE_T Index : Scan(Section, Key).KeyLines)
		{
			const FLine& Line = Lines[Index];
			std::string Value = DecodeValue(Line.Value);
			switch (Line.Op)
			{
			// A single file has no lower layer to deduplicate against, and SetArray writes
			// repeated elements as repeated + lines, so + keeps duplicates like . does.
			case '+':
			case '.':
				Values.push_back(std::move(Value));
				break;
			case '-':
				std::erase(Values, Value);
				break;
			case '!':
				Values.clear();
				break;
			default:
				Values.assign(1, std::move(Value));
				break;
			}
		}
		return Values;
	}

	std::vector<std::string> GetKeys(std::string_view Section) const
	{
		std::vector<std::string> Keys;
		bool bInSection = false;
		for (const FLine& Line : Lines)
		{
			if (Line.Kind == ELineKind::Section)
			{
				bInSection = EqualsIgnoreCase(Line.Name, Section);
			}
			else if (bInSection && Line.Kind == ELineKind::Key)
			{
				const bool bSeen = std::any_of(Keys.begin(), Keys.end(), [&Line](const std::string& Key) { return EqualsIgnoreCase(Key, Line.Name); });
				if (!bSeen)
				{
					Keys.push_back(Line.Name);
				}
			}
		}
		// A key whose lines cancel out (a lone -Key or !Key) has no value to report.
		std::erase_if(Keys, [this, Section](const std::string& Key) { return GetValues(Section, Key).empty(); });
		return Keys;
	}

	void SetValue(std::string_view Section, std::string_view Key, std::string_view Value)
	{
		const FScan Found = Scan(Section, Key);
		if (Found.KeyLines.size() == 1 && Lines[Found.KeyLines.front()].Op == 0 && DecodeValue(Lines[Found.KeyLines.front()].Value) == Value)
		{
			return;
		}
		std::string NewLine;
		if (!Found.KeyLines.empty() && Lines[Found.KeyLines.front()].Op == 0)
		{
			const FLine& Old = Lines[Found.KeyLines.front()];
			NewLine = Old.Raw.substr(0, Old.ValueStart) + EncodeValue(Value) + LineEnd();
		}
		else
		{
			NewLine = KeyName(Found, Key) + "=" + EncodeValue(Value) + LineEnd();
		}
		ReplaceKeyLines(Found, Section, {NewLine});
	}

	void SetArray(std::string_view Section, std::string_view Key, const TArray<FString>& Values)
	{
		const FScan Found = Scan(Section, Key);
		const std::string Name = KeyName(Found, Key);
		std::vector<std::string> NewLines;
		for (const FString& Value : Values)
		{
			NewLines.push_back("+" + Name + "=" + EncodeValue(Value.ToStdString()) + LineEnd());
		}
		ReplaceKeyLines(Found, Section, NewLines);
	}

	bool RemoveKey(std::string_view Section, std::string_view Key)
	{
		const FScan Found = Scan(Section, Key);
		if (Found.KeyLines.empty())
		{
			return false;
		}
		ReplaceKeyLines(Found, Section, {});
		return true;
	}

private:
	struct FScan
	{
		std::vector<SIZE_T> KeyLines;
		SIZE_T LastHeader = std::string::npos;
		/** One past the last line of the section's last block. */
		SIZE_T LastEnd = std::string::npos;
	};

	std::vector<FLine> Lines;
	bool bTrailingNewline = false;
	bool bCrlf = false;

	static FLine MakeLine(std::string Raw, bool bFirstLine)
	{
		FLine Line;
		Line.Raw = std::move(Raw);
		std::string_view Text(Line.Raw);
		if (bFirstLine && Text.starts_with("\xEF\xBB\xBF"))
		{
			Text.remove_prefix(3);
		}
		Text = TrimView(Text);
		if (Text.empty() || Text.front() == ';' || Text.front() == '#')
		{
			return Line;
		}
		if (Text.front() == '[')
		{
			const SIZE_T Close = Text.find(']');
			if (Close != std::string_view::npos)
			{
				Line.Kind = ELineKind::Section;
				Line.Name = std::string(TrimView(Text.substr(1, Close - 1)));
			}
			return Line;
		}
		const SIZE_T Equals = Text.find('=');
		if (Equals == std::string_view::npos)
		{
			return Line;
		}
		std::string_view KeyText = Text.substr(0, Equals);
		char Op = 0;
		if (KeyText.front() == '+' || KeyText.front() == '.' || KeyText.front() == '-' || KeyText.front() == '!')
		{
			Op = KeyText.front();
			KeyText.remove_prefix(1);
		}
		KeyText = TrimView(KeyText);
		if (KeyText.empty())
		{
			return Line;
		}
		const std::string_view ValueText = TrimView(Text.substr(Equals + 1));
		Line.Kind = ELineKind::Key;
		Line.Op = Op;
		Line.Name = std::string(KeyText);
		Line.Value = std::string(ValueText);
		Line.ValueStart = ValueText.empty() ? static_cast<SIZE_T>(Text.data() + Equals + 1 - Line.Raw.data())
											: static_cast<SIZE_T>(ValueText.data() - Line.Raw.data());
		return Line;
	}

	static bool IsBlankLine(const FLine& Line) { return TrimView(Line.Raw).empty(); }

	std::string LineEnd() const { return bCrlf ? "\r" : ""; }

	/** Keeps the spelling the file already uses for the key. */
	std::string KeyName(const FScan& Found, std::string_view Key) const
	{
		return Found.KeyLines.empty() ? std::string(Key) : Lines[Found.KeyLines.front()].Name;
	}

	/** A section may appear in several blocks; all of them count, and new keys go to the last. */
	FScan Scan(std::string_view Section, std::string_view Key) const
	{
		FScan Found;
		bool bInSection = false;
		for (SIZE_T Index = 0; Index < Lines.size(); ++Index)
		{
			const FLine& Line = Lines[Index];
			if (Line.Kind == ELineKind::Section)
			{
				if (bInSection)
				{
					Found.LastEnd = Index;
				}
				bInSection = EqualsIgnoreCase(Line.Name, Section);
				if (bInSection)
				{
					Found.LastHeader = Index;
					Found.LastEnd = Lines.size();
				}
			}
			else if (bInSection && Line.Kind == ELineKind::Key && EqualsIgnoreCase(Line.Name, Key))
			{
				Found.KeyLines.push_back(Index);
			}
		}
		return Found;
	}

	void ReplaceKeyLines(const FScan& Found, std::string_view Section, const std::vector<std::string>& NewLines)
	{
		if (Found.KeyLines.size() == NewLines.size())
		{
			bool bSame = true;
			for (SIZE_T Index = 0; Index < NewLines.size() && bSame; ++Index)
			{
				bSame = Lines[Found.KeyLines[Index]].Raw == NewLines[Index];
			}
			if (bSame)
			{
				return;
			}
		}

		SIZE_T InsertAt = 0;
		if (!Found.KeyLines.empty())
		{
			InsertAt = Found.KeyLines.front();
			for (auto It = Found.KeyLines.rbegin(); It != Found.KeyLines.rend(); ++It)
			{
				Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(*It));
			}
		}
		else if (Found.LastHeader != std::string::npos)
		{
			InsertAt = Found.LastEnd;
			while (InsertAt > Found.LastHeader + 1 && IsBlankLine(Lines[InsertAt - 1]))
			{
				--InsertAt;
			}
		}
		else
		{
			if (!Lines.empty() && !IsBlankLine(Lines.back()))
			{
				AppendLine(LineEnd());
			}
			AppendLine("[" + std::string(Section) + "]" + LineEnd());
			InsertAt = Lines.size();
		}

		if (InsertAt == Lines.size() && !NewLines.empty())
		{
			bTrailingNewline = true;
		}
		for (SIZE_T Index = 0; Index < NewLines.size(); ++Index)
		{
			Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(InsertAt + Index), MakeLine(NewLines[Index], false));
		}
		bDirty = true;
	}

	void AppendLine(std::string Raw)
	{
		Lines.push_back(MakeLine(std::move(Raw), false));
		bTrailingNewline = true;
	}
};

FConfigCacheIni::FConfigCacheIni() = default;

FConfigCacheIni::~FConfigCacheIni() = default;

FConfigFile& FConfigCacheIni::FindOrLoad(const FString& Filename)
{
	std::unique_ptr<FConfigFile>& File = Files[Filename.ToStdString()];
	if (!File)
	{
		File = std::make_unique<FConfigFile>();
		File->Load(Filename.ToStdString());
	}
	return *File;
}

bool FConfigCacheIni::GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	const std::vector<std::string> Values = FindOrLoad(Filename).GetValues(Section, Key);
	if (Values.empty())
	{
		return false;
	}
	Value = FString(Values.front());
	return true;
}

bool FConfigCacheIni::GetBool(const TCHAR* Section, const TCHAR* Key, bool& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FString Text;
	if (!GetString(Section, Key, Text, Filename))
	{
		return false;
	}
	if (Text == TEXT("True") || Text == TEXT("1") || Text == TEXT("Yes") || Text == TEXT("On"))
	{
		Value = true;
		return true;
	}
	if (Text == TEXT("False") || Text == TEXT("0") || Text == TEXT("No") || Text == TEXT("Off"))
	{
		Value = false;
		return true;
	}
	return false;
}

bool FConfigCacheIni::GetInt(const TCHAR* Section, const TCHAR* Key, int32& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FString Text;
	return GetString(Section, Key, Text, Filename) && ParseNumber(Text, Value);
}

bool FConfigCacheIni::GetFloat(const TCHAR* Section, const TCHAR* Key, float& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FString Text;
	return GetString(Section, Key, Text, Filename) && ParseNumber(Text, Value);
}

bool FConfigCacheIni::GetDouble(const TCHAR* Section, const TCHAR* Key, double& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FString Text;
	return GetString(Section, Key, Text, Filename) && ParseNumber(Text, Value);
}

int32 FConfigCacheIni::GetArray(const TCHAR* Section, const TCHAR* Key, TArray<FString>& Out, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	Out.Reset();
	for (const std::string& Value : FindOrLoad(Filename).GetValues(Section, Key))
	{
		Out.Add(FString(Value));
	}
	return Out.Num();
}

void FConfigCacheIni::SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FindOrLoad(Filename).SetValue(Section, Key, Value ? Value : TEXT(""));
}

void FConfigCacheIni::SetBool(const TCHAR* Section, const TCHAR* Key, bool Value, const FString& Filename)
{
	SetString(Section, Key, Value ? TEXT("True") : TEXT("False"), Filename);
}

void FConfigCacheIni::SetInt(const TCHAR* Section, const TCHAR* Key, int32 Value, const FString& Filename)
{
	SetString(Section, Key, *FString::FromInt(Value), Filename);
}

void FConfigCacheIni::SetFloat(const TCHAR* Section, const TCHAR* Key, float Value, const FString& Filename)
{
	SetString(Section, Key, *FString::Printf(TEXT("%f"), static_cast<double>(Value)), Filename);
}

void FConfigCacheIni::SetDouble(const TCHAR* Section, const TCHAR* Key, double Value, const FString& Filename)
{
	SetString(Section, Key, *FString::Printf(TEXT("%f"), Value), Filename);
}

void FConfigCacheIni::SetArray(const TCHAR* Section, const TCHAR* Key, const TArray<FString>& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	FindOrLoad(Filename).SetArray(Section, Key, Value);
}

bool FConfigCacheIni::RemoveKey(const TCHAR* Section, const TCHAR* Key, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	return FindOrLoad(Filename).RemoveKey(Section, Key);
}

bool FConfigCacheIni::DoesSectionExist(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	return FindOrLoad(Filename).HasSection(Section);
}

TArray<FString> FConfigCacheIni::GetKeys(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	TArray<FString> Keys;
	for (const std::string& Key : FindOrLoad(Filename).GetKeys(Section))
	{
		Keys.Add(FString(Key));
	}
	return Keys;
}

void FConfigCacheIni::Flush(bool bRemoveFromCache, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	bool bAttemptedWrite = false;
	auto WriteIfDirty = [this, &bAttemptedWrite](const std::string& Path, FConfigFile& File)
	{
		if (!File.bDirty)
		{
			return true;
		}
		if (!bAttemptedWrite)
		{
			LastWriteError.Empty();
			bAttemptedWrite = true;
		}
		if (!File.LoadError.empty())
		{
			LastWriteError = FString(File.LoadError);
			return false;
		}
		std::string Error;
		if (!WriteFileAtomically(Path, File.Serialize(), Error))
		{
			LastWriteError = FString(Error);
			return false;
		}
		File.bDirty = false;
		return true;
	};

	for (auto It = Files.begin(); It != Files.end();)
	{
		if (!Filename.IsEmpty() && It->first != Filename.ToStdString())
		{
			++It;
			continue;
		}
		const bool bWritten = WriteIfDirty(It->first, *It->second);
		It = bWritten && bRemoveFromCache ? Files.erase(It) : std::next(It);
	}
}

void FConfigCacheIni::Clear()
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	Files.clear();
}

FString FConfigCacheIni::GetLastWriteError() const
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	return LastWriteError;
}

void FConfigCacheIni::InitializeConfigSystem()
{
	if (!GConfig)
	{
		GConfig = new FConfigCacheIni();
	}
	GEngineIni = FPaths::GeneratedConfigDir() + TEXT("Engine.ini");
	GGameIni = FPaths::GeneratedConfigDir() + TEXT("Game.ini");
	GEditorIni = FPaths::GeneratedConfigDir() + TEXT("Editor.ini");
}

void FConfigCacheIni::TearDownConfigSystem()
{
	delete GConfig;
	GConfig = nullptr;
}

FString FConfigCacheIni::GetConfigFilename(const FString& ConfigName, bool bDefaultConfig)
{
	if (bDefaultConfig)
	{
		return FPaths::ProjectConfigDir() + TEXT("Default") + ConfigName + TEXT(".ini");
	}
	return FPaths::GeneratedConfigDir() + ConfigName + TEXT(".ini");
}
