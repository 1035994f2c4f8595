#pragma once

#include "Misc/OutputDevice.h"

#include <cstdio>

/** Writes "Category: Verbosity: Message" lines, as the engine's console does. */
class CORE_API FOutputDeviceStdOutput : public FOutputDevice
{
public:
	explicit FOutputDeviceStdOutput(FILE* InStream = stdout)
		: Stream(InStream)
	{
	}
	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;
	void Flush() override { std::fflush(Stream); }

	/** The engine's log line format without timestamps. */
	static FString FormatLogLine(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category);

private:
	FILE* Stream;
};

/** Appends log lines to a file. */
class CORE_API FOutputDeviceFile : public FOutputDevice
{
public:
	explicit FOutputDeviceFile(const FString& InFilename);
	~FOutputDeviceFile() override;
	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;
	void Flush() override;

private:
	FILE* File = nullptr;
};
