#pragma once

#include "Misc/OutputDevice.h"

#include <cstdio>

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
