#pragma once

#include "Containers/Array.h"
#include "Misc/OutputDevice.h"

#include <mutex>

/** The global log: hands every line to each registered device, one line at a time. */
class CORE_API FOutputDeviceRedirector final : public FOutputDevice
{
public:
	static FOutputDeviceRedirector* Get();

	void AddOutputDevice(FOutputDevice* Device);
	void RemoveOutputDevice(FOutputDevice* Device);
	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;
	void Flush() override;

private:
	mutable std::recursive_mutex Lock;
	TArray<FOutputDevice*> Devices;
};

#define GLog FOutputDeviceRedirector::Get()
