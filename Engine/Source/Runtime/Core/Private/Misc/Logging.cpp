#include "Logging/LogCategoryRegistry.h"
#include "Logging/LogMacros.h"
#include "Misc/OutputDeviceConsole.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Misc/VarArgs.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

namespace
{
	struct FCategoryRegistry
	{
		std::mutex Lock;
		std::vector<FLogCategoryBase*> Categories;
	};

	// Categories are static objects of the engine's and the modules' libraries, which stay loaded
	// for the whole process; the registry outlives every one of them.
	FCategoryRegistry& Registry()
	{
		static FCategoryRegistry* Instance = new FCategoryRegistry;
		return *Instance;
	}
} // namespace

DEFINE_LOG_CATEGORY(LogTemp)
DEFINE_LOG_CATEGORY(LogInit)

const TCHAR* ToString(ELogVerbosity::Type Verbosity)
{
	switch (Verbosity & ELogVerbosity::VerbosityMask)
	{
	case ELogVerbosity::NoLogging:
		return TEXT("NoLogging");
	case ELogVerbosity::Fatal:
		return TEXT("Fatal");
	case ELogVerbosity::Error:
		return TEXT("Error");
	case ELogVerbosity::Warning:
		return TEXT("Warning");
	case ELogVerbosity::Display:
		return TEXT("Display");
	case ELogVerbosity::Log:
		return TEXT("Log");
	case ELogVerbosity::Verbose:
		return TEXT("Verbose");
	case ELogVerbosity::VeryVerbose:
		return TEXT("VeryVerbose");
	default:
		return TEXT("Unknown");
	}
}

FLogCategoryBase::FLogCategoryBase(const TCHAR* InCategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity)
	: CategoryName(InCategoryName)
	, Verbosity(InDefaultVerbosity)
	, CompileTimeVerbosity(InCompileTimeVerbosity)
{
	const std::lock_guard<std::mutex> Guard(Registry().Lock);
	Registry().Categories.push_back(this);
}

FLogCategoryBase* FindLogCategory(const FName& Name)
{
	const std::lock_guard<std::mutex> Guard(Registry().Lock);
	for (FLogCategoryBase* Category : Registry().Categories)
	{
		if (Category->GetCategoryName() == Name)
		{
			return Category;
		}
	}
	return nullptr;
}

ELogVerbosity::Type ParseLogVerbosityFromString(const TCHAR* Name)
{
	for (int32 Value = ELogVerbosity::Fatal; Value < ELogVerbosity::NumVerbosity; ++Value)
	{
		const ELogVerbosity::Type Verbosity = static_cast<ELogVerbosity::Type>(Value);
		if (::strcasecmp(Name, ToString(Verbosity)) == 0)
		{
			return Verbosity;
		}
	}
	return ELogVerbosity::NoLogging;
}

void FLogCategoryBase::SetVerbosity(ELogVerbosity::Type NewVerbosity)
{
	// The compile-time ceiling cannot be raised at run time.
	Verbosity = static_cast<ELogVerbosity::Type>(std::min<int>(NewVerbosity & ELogVerbosity::VerbosityMask, CompileTimeVerbosity));
}

void FMsg::Logf(const char* File, int32 Line, const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	const std::string Message = FormatVarArgs(Format, Args);
	va_end(Args);

	GLog->Serialize(Message.c_str(), Verbosity, Category);
	if ((Verbosity & ELogVerbosity::VerbosityMask) == ELogVerbosity::Fatal)
	{
		GLog->Flush();
		std::fprintf(stderr, "Fatal error at %s:%d\n", File, Line);
		std::abort();
	}
}

FOutputDeviceRedirector* FOutputDeviceRedirector::Get()
{
	static FOutputDeviceRedirector* Singleton = new FOutputDeviceRedirector();
	return Singleton;
}

void FOutputDeviceRedirector::AddOutputDevice(FOutputDevice* Device)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	if (Device)
	{
		Devices.AddUnique(Device);
	}
}

void FOutputDeviceRedirector::RemoveOutputDevice(FOutputDevice* Device)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	Devices.Remove(Device);
}

void FOutputDeviceRedirector::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	const TArray<FOutputDevice*> Snapshot = Devices;
	for (FOutputDevice* Device : Snapshot)
	{
		Device->Serialize(Message, Verbosity, Category);
	}
}

void FOutputDeviceRedirector::Flush()
{
	std::lock_guard<std::recursive_mutex> Guard(Lock);
	for (FOutputDevice* Device : Devices)
	{
		Device->Flush();
	}
}

namespace
{
	// The engine's log line format without timestamps.
	FString FormatLogLine(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		if (Level == ELogVerbosity::Log)
		{
			return FString::Printf(TEXT("%s: %s"), *Category.ToString(), Message);
		}
		return FString::Printf(TEXT("%s: %s: %s"), *Category.ToString(), ToString(Level), Message);
	}
} // namespace

FOutputDeviceFile::FOutputDeviceFile(const FString& InFilename)
	: File(std::fopen(*InFilename, "a"))
{
}

FOutputDeviceFile::~FOutputDeviceFile()
{
	if (File)
	{
		std::fclose(File);
	}
}

void FOutputDeviceFile::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	if (File)
	{
		std::fprintf(File, "%s\n", *FormatLogLine(Message, Verbosity, Category));
	}
}

void FOutputDeviceFile::Flush()
{
	if (File)
	{
		std::fflush(File);
	}
}
