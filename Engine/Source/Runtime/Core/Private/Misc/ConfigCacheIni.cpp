#include "Misc/ConfigCacheIni.h"

#include "Misc/Char.h"
#include "Misc/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FConfigCacheIni* GConfig = nullptr;

namespace
{
	// The project's checked-in Default*.ini files.
	FString ProjectConfigDir() { return FPaths::ProjectDir() + TEXT("Config/"); }
	// Where the engine keeps the configuration it writes: Saved/Config/.
	FString GeneratedConfigDir() { return FPaths::ProjectDir() + TEXT("Saved/Config/"); }
} // namespace
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

	bool IsControlChar(char Character)
	{
		const unsigned char Code = static_cast<unsigned char>(Character);
		return Code < 0x20 || Code == 0x7F;
	}

	int HexDigit(char Character)
	{
		if (Character >= '0' && Character <= '9')
		{
			return Character - '0';
		}
		const char Lower = static_cast<char>(FChar::ToLower(Character));
		return Lower >= 'a' && Lower <= 'f' ? Lower - 'a' + 10 : -1;
	}

	/**
	 * Quotes only what would not read back as written: edge whitespace, quotes of its own at
	 * both ends, or a control character. Inside quotes \" \\ \n \r \t and \xHH escape, so
	 * no value can end its line or start another.
	 */
	std::string EncodeValue(std::string_view Value)
	{
		const bool bEdgeWhitespace = !Value.empty() && (IsBlankChar(Value.front()) || IsBlankChar(Value.back()));
		const bool bLooksQuoted = Value.size() >= 2 && Value.front() == '"' && Value.back() == '"';
		const bool bControl = std::any_of(Value.begin(), Value.end(), IsControlChar);
		if (!bEdgeWhitespace && !bLooksQuoted && !bControl)
		{
			return std::string(Value);
		}
		static const char* const Hex = "0123456789ABCDEF";
		std::string Result = "\"";
		for (const char Character : Value)
		{
			switch (Character)
			{
			case '"':
				Result += "\\\"";
				break;
			case '\\':
				Result += "\\\\";
				break;
			case '\n':
				Result += "\\n";
				break;
			case '\r':
				Result += "\\r";
				break;
			case '\t':
				Result += "\\t";
				break;
			default:
				if (IsControlChar(Character))
				{
					const unsigned char Code = static_cast<unsigned char>(Character);
					Result += "\\x";
					Result += Hex[Code >> 4];
					Result += Hex[Code & 0xF];
				}
				else
				{
					Result += Character;
				}
				break;
			}
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
			if (Value[Index] != '\\' || Index + 1 >= Value.size())
			{
				Result += Value[Index];
				continue;
			}
			const char Next = Value[Index + 1];
			switch (Next)
			{
			case '"':
				Result += '"';
				++Index;
				break;
			case '\\':
				Result += '\\';
				++Index;
				break;
			case 'n':
				Result += '\n';
				++Index;
				break;
			case 'r':
				Result += '\r';
				++Index;
				break;
			case 't':
				Result += '\t';
				++Index;
				break;
			case 'x':
				if (Index + 3 < Value.size() && HexDigit(Value[Index + 2]) >= 0 && HexDigit(Value[Index + 3]) >= 0)
				{
					Result += static_cast<char>(HexDigit(Value[Index + 2]) * 16 + HexDigit(Value[Index + 3]));
					Index += 3;
					break;
				}
				Result += '\\';
				break;
			default:
				// Not an escape: a hand-written backslash stays as it is.
				Result += '\\';
				break;
			}
		}
		return Result;
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
		auto Fail = [&](int ErrorCode, bool bStillOpen) {
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

	/**
	 * Applies Key's lines in file order onto Values, what the layers below gave: Key=V
	 * replaces, +Key=V adds V unless it is there (ignoring case, as FString compares),
	 * .Key=V adds it always, -Key=V removes it, !Key clears.
	 */
	void ApplyValues(std::string_view Section, std::string_view Key, std::vector<std::string>& Values) const
	{
		for (const SIZE_T Index : Scan(Section, Key).KeyLines)
		{
			const FLine& Line = Lines[Index];
			std::string Value = DecodeValue(Line.Value);
			auto Equal = [&Value](const std::string& Other) { return EqualsIgnoreCase(Other, Value); };
			switch (Line.Op)
			{
			case '+':
				if (std::none_of(Values.begin(), Values.end(), Equal))
				{
					Values.push_back(std::move(Value));
				}
				break;
			case '.':
				Values.push_back(std::move(Value));
				break;
			case '-':
				std::erase_if(Values, Equal);
				break;
			case '!':
				Values.clear();
				break;
			default:
				Values.assign(1, std::move(Value));
				break;
			}
		}
	}

	bool HasKey(std::string_view Section, std::string_view Key) const { return !Scan(Section, Key).KeyLines.empty(); }

	/** The keys with lines in the section, in file order, each once. */
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
		return Keys;
	}

	/** One change made through this object, kept until written so it can be made again on the file as it is on disk then. */
	struct FEdit
	{
		enum class EKind : uint8
		{
			Value,
			Array,
			Remove,
		};
		EKind Kind = EKind::Value;
		std::string Section;
		std::string Key;
		std::vector<std::string> Values;
		bool bClearLowerLayers = false;
	};
	/** The changes not yet written, in order. */
	std::vector<FEdit> Journal;

	void SetValue(std::string_view Section, std::string_view Key, std::string_view Value)
	{
		if (ApplyValue(Section, Key, Value))
		{
			Journal.push_back(FEdit{FEdit::EKind::Value, std::string(Section), std::string(Key), {std::string(Value)}, false});
		}
	}

	void SetArray(std::string_view Section, std::string_view Key, const std::vector<std::string>& Values, bool bClearLowerLayers)
	{
		if (ApplyArray(Section, Key, Values, bClearLowerLayers))
		{
			Journal.push_back(FEdit{FEdit::EKind::Array, std::string(Section), std::string(Key), Values, bClearLowerLayers});
		}
	}

	bool RemoveKey(std::string_view Section, std::string_view Key)
	{
		if (!ApplyRemove(Section, Key))
		{
			return false;
		}
		Journal.push_back(FEdit{FEdit::EKind::Remove, std::string(Section), std::string(Key), {}, false});
		return true;
	}

	/** Makes the journal's changes on this file (freshly read from disk) and marks it dirty if any changed it. */
	void Replay(const std::vector<FEdit>& Edits)
	{
		for (const FEdit& Edit : Edits)
		{
			switch (Edit.Kind)
			{
			case FEdit::EKind::Value:
				ApplyValue(Edit.Section, Edit.Key, Edit.Values.front());
				break;
			case FEdit::EKind::Array:
				ApplyArray(Edit.Section, Edit.Key, Edit.Values, Edit.bClearLowerLayers);
				break;
			case FEdit::EKind::Remove:
				ApplyRemove(Edit.Section, Edit.Key);
				break;
			}
		}
	}

private:
	bool ApplyValue(std::string_view Section, std::string_view Key, std::string_view Value)
	{
		const FScan Found = Scan(Section, Key);
		if (Found.KeyLines.size() == 1 && Lines[Found.KeyLines.front()].Op == 0 && DecodeValue(Lines[Found.KeyLines.front()].Value) == Value)
		{
			return false;
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
		return ReplaceKeyLines(Found, Section, {NewLine});
	}

	/**
	 * Writes the array so that reading it over the layers below gives exactly Values: a
	 * !Key=ClearArray line first when a lower layer holds elements, + per element, and . for
	 * an element that repeats one before it (+ would drop it).
	 */
	bool ApplyArray(std::string_view Section, std::string_view Key, const std::vector<std::string>& Values, bool bClearLowerLayers)
	{
		const FScan Found = Scan(Section, Key);
		const std::string Name = KeyName(Found, Key);
		std::vector<std::string> NewLines;
		if (bClearLowerLayers)
		{
			NewLines.push_back("!" + Name + "=ClearArray" + LineEnd());
		}
		std::vector<std::string> Written;
		for (const std::string& Text : Values)
		{
			const bool bRepeat = std::any_of(Written.begin(), Written.end(), [&Text](const std::string& Other) { return EqualsIgnoreCase(Other, Text); });
			NewLines.push_back((bRepeat ? "." : "+") + Name + "=" + EncodeValue(Text) + LineEnd());
			Written.push_back(Text);
		}
		return ReplaceKeyLines(Found, Section, NewLines);
	}

	bool ApplyRemove(std::string_view Section, std::string_view Key)
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

	/** True when the file changed. */
	bool ReplaceKeyLines(const FScan& Found, std::string_view Section, const std::vector<std::string>& NewLines)
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
				return false;
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
		return true;
	}

	void AppendLine(std::string Raw)
	{
		Lines.push_back(MakeLine(std::move(Raw), false));
		bTrailingNewline = true;
	}
};

namespace
{
	/**
	 * An exclusive advisory lock on a folder, held while a file in it is read, merged and
	 * replaced: every writer of that folder's configuration (other processes included) takes
	 * it, so no two read-modify-writes overlap. The lock goes with the process if it dies.
	 */
	class FFolderLock
	{
	public:
		explicit FFolderLock(const std::string& Folder)
			: Fd(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
		{
			if (Fd < 0)
			{
				Error = errno;
				return;
			}
			while (::flock(Fd, LOCK_EX) != 0)
			{
				if (errno != EINTR)
				{
					Error = errno;
					return;
				}
			}
		}
		~FFolderLock()
		{
			if (Fd >= 0)
			{
				::close(Fd);
			}
		}
		FFolderLock(const FFolderLock&) = delete;
		FFolderLock& operator=(const FFolderLock&) = delete;

		int Error = 0;

	private:
		int Fd = -1;
	};

	/** Temporary files of writers that died before renaming; only called under the folder lock, when no writer is mid-write. */
	void RemoveStaleTempFiles(const std::filesystem::path& Path)
	{
		const std::string Prefix = Path.filename().string() + ".tmp.";
		std::error_code Error;
		for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(Path.parent_path(), Error))
		{
			const std::string Name = Entry.path().filename().string();
			if (Name.size() > Prefix.size() && Name.starts_with(Prefix)
				&& std::all_of(Name.begin() + static_cast<std::ptrdiff_t>(Prefix.size()), Name.end(), [](char Character) { return Character >= '0' && Character <= '9'; }))
			{
				std::filesystem::remove(Entry.path(), Error);
			}
		}
	}

	/**
	 * Writes Pending's changes into the file as it is on disk now: under the folder lock, the
	 * file is read again, the changes are made again on it, and the result replaces it. So
	 * another writer's changes made since this process read the file are kept.
	 */
	bool CommitFile(const std::string& Path, const FConfigFile& Pending, std::unique_ptr<FConfigFile>& OutMerged, std::string& OutError)
	{
		const std::filesystem::path FilePath(Path);
		const std::filesystem::path Folder = FilePath.parent_path().empty() ? std::filesystem::path(".") : FilePath.parent_path();
		std::error_code CreateError;
		std::filesystem::create_directories(Folder, CreateError);
		if (CreateError)
		{
			OutError = Path + ": " + CreateError.message();
			return false;
		}
		const FFolderLock Lock(Folder.string());
		if (Lock.Error != 0)
		{
			OutError = ErrorText(Path, Lock.Error);
			return false;
		}
		RemoveStaleTempFiles(Folder / FilePath.filename());

		std::unique_ptr<FConfigFile> Merged = std::make_unique<FConfigFile>();
		Merged->Load(Path);
		if (!Merged->LoadError.empty())
		{
			OutError = Merged->LoadError;
			return false;
		}
		Merged->Replay(Pending.Journal);
		if (Merged->bDirty && !WriteFileAtomically(Path, Merged->Serialize(), OutError))
		{
			return false;
		}
		Merged->bDirty = false;
		OutMerged = std::move(Merged);
		return true;
	}
} // namespace

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

std::vector<std::string> FConfigCacheIni::GetLayers(const FString& Filename) const
{
	const std::string Path = Filename.ToStdString();
	const std::string SavedDir = GeneratedConfigDir().ToStdString();
	const std::string DefaultPrefix = ProjectConfigDir().ToStdString() + "Default";
	auto NameAfter = [&Path](const std::string& Prefix) -> std::string {
		if (!Path.starts_with(Prefix) || !Path.ends_with(".ini") || Path.size() <= Prefix.size() + 4)
		{
			return std::string();
		}
		const std::string Name = Path.substr(Prefix.size(), Path.size() - Prefix.size() - 4);
		return Name.find('/') == std::string::npos ? Name : std::string();
	};

	std::vector<std::string> Layers;
	std::string Name = NameAfter(SavedDir);
	const bool bSavedLayer = !Name.empty();
	if (!bSavedLayer)
	{
		Name = NameAfter(DefaultPrefix);
	}
	if (!Name.empty())
	{
		// The headless engine is the Engine/ folder of the plug-in's checkout.
		Layers.push_back(FPaths::PluginDir().ToStdString() + "Engine/Config/Base" + Name + ".ini");
		if (bSavedLayer)
		{
			Layers.push_back(DefaultPrefix + Name + ".ini");
		}
	}
	Layers.push_back(Path);
	return Layers;
}

std::vector<std::string> FConfigCacheIni::GetLayeredValues(const TCHAR* Section, const TCHAR* Key, const FString& Filename, bool bLowerLayersOnly)
{
	std::vector<std::string> Layers = GetLayers(Filename);
	if (bLowerLayersOnly)
	{
		Layers.pop_back();
	}
	std::vector<std::string> Values;
	for (const std::string& Layer : Layers)
	{
		FindOrLoad(FString(Layer)).ApplyValues(Section, Key, Values);
	}
	return Values;
}

FString FConfigCacheIni::GetValueLayer(const TCHAR* Section, const TCHAR* Key, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	if (GetLayeredValues(Section, Key, Filename, false).empty())
	{
		return FString();
	}
	const std::vector<std::string> Layers = GetLayers(Filename);
	for (auto It = Layers.rbegin(); It != Layers.rend(); ++It)
	{
		if (FindOrLoad(FString(*It)).HasKey(Section, Key))
		{
			return FString(*It);
		}
	}
	return FString();
}

bool FConfigCacheIni::GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	const std::vector<std::string> Values = GetLayeredValues(Section, Key, Filename, false);
	if (Values.empty())
	{
		return false;
	}
	Value = FString(Values.front());
	return true;
}

int32 FConfigCacheIni::GetArray(const TCHAR* Section, const TCHAR* Key, TArray<FString>& Out, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	Out.Reset();
	for (const std::string& Value : GetLayeredValues(Section, Key, Filename, false))
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

void FConfigCacheIni::SetArray(const TCHAR* Section, const TCHAR* Key, const TArray<FString>& Value, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	const bool bClearLowerLayers = !GetLayeredValues(Section, Key, Filename, true).empty();
	std::vector<std::string> Values;
	for (const FString& Element : Value)
	{
		Values.push_back(Element.ToStdString());
	}
	FindOrLoad(Filename).SetArray(Section, Key, Values, bClearLowerLayers);
}

bool FConfigCacheIni::RemoveKey(const TCHAR* Section, const TCHAR* Key, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	return FindOrLoad(Filename).RemoveKey(Section, Key);
}

bool FConfigCacheIni::DoesSectionExist(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	for (const std::string& Layer : GetLayers(Filename))
	{
		if (FindOrLoad(FString(Layer)).HasSection(Section))
		{
			return true;
		}
	}
	return false;
}

TArray<FString> FConfigCacheIni::GetKeys(const TCHAR* Section, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	std::vector<std::string> Names;
	for (const std::string& Layer : GetLayers(Filename))
	{
		for (std::string& Key : FindOrLoad(FString(Layer)).GetKeys(Section))
		{
			if (std::none_of(Names.begin(), Names.end(), [&Key](const std::string& Name) { return EqualsIgnoreCase(Name, Key); }))
			{
				Names.push_back(std::move(Key));
			}
		}
	}
	TArray<FString> Keys;
	for (const std::string& Key : Names)
	{
		// A key whose lines cancel out (a lone -Key or !Key) has no value to report.
		if (!GetLayeredValues(Section, Key.c_str(), Filename, false).empty())
		{
			Keys.Add(FString(Key));
		}
	}
	return Keys;
}

void FConfigCacheIni::Flush(bool bRemoveFromCache, const FString& Filename)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	bool bAttemptedWrite = false;
	auto WriteIfDirty = [this, &bAttemptedWrite](const std::string& Path, std::unique_ptr<FConfigFile>& File) {
		if (!File->bDirty)
		{
			return true;
		}
		if (!bAttemptedWrite)
		{
			LastWriteError.Empty();
			bAttemptedWrite = true;
		}
		if (!File->LoadError.empty())
		{
			LastWriteError = FString(File->LoadError);
			return false;
		}
		std::string Error;
		std::unique_ptr<FConfigFile> Merged;
		if (!CommitFile(Path, *File, Merged, Error))
		{
			// The changes stay pending, so a later flush tries again.
			LastWriteError = FString(Error);
			return false;
		}
		File = std::move(Merged);
		return true;
	};

	for (auto It = Files.begin(); It != Files.end();)
	{
		if (!Filename.IsEmpty() && It->first != Filename.ToStdString())
		{
			++It;
			continue;
		}
		const bool bWritten = WriteIfDirty(It->first, It->second);
		It = bWritten && bRemoveFromCache ? Files.erase(It) : std::next(It);
	}
	// The layers a file was read over are read afresh with it.
	if (bRemoveFromCache && !Filename.IsEmpty())
	{
		for (const std::string& Layer : GetLayers(Filename))
		{
			const auto Found = Files.find(Layer);
			if (Found != Files.end() && !Found->second->bDirty)
			{
				Files.erase(Found);
			}
		}
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
	GEngineIni = GeneratedConfigDir() + TEXT("Engine.ini");
	GGameIni = GeneratedConfigDir() + TEXT("Game.ini");
	GEditorIni = GeneratedConfigDir() + TEXT("Editor.ini");
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
		return ProjectConfigDir() + TEXT("Default") + ConfigName + TEXT(".ini");
	}
	return GeneratedConfigDir() + ConfigName + TEXT(".ini");
}
