#pragma once

// Captures log lines for the duration of a test.

#include "CoreMinimal.h"
#include "Misc/OutputDeviceRedirector.h"

#include <mutex>

class FLogCapture final : public FOutputDevice
{
public:
	struct FLine
	{
		FString Category;
		ELogVerbosity::Type Verbosity;
		FString Message;
	};

	FLogCapture() { GLog->AddOutputDevice(this); }
	~FLogCapture() override { GLog->RemoveOutputDevice(this); }

	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		std::lock_guard<std::mutex> Guard(Lock);
		Lines.Add({Category.ToString(), Verbosity, FString(Message)});
	}

	/** How many lines of Category carry exactly Message. */
	int32 Count(const TCHAR* Category, const TCHAR* Message) const
	{
		std::lock_guard<std::mutex> Guard(Lock);
		int32 Matches = 0;
		for (const FLine& Line : Lines)
		{
			Matches += (Line.Category.Equals(Category, ESearchCase::CaseSensitive) && Line.Message.Equals(Message, ESearchCase::CaseSensitive)) ? 1 : 0;
		}
		return Matches;
	}

private:
	mutable std::mutex Lock;
	TArray<FLine> Lines;
};
