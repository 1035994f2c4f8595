#pragma once

#include "Containers/Array.h"
#include "HAL/CriticalSection.h"
#include "UObject/NameTypes.h"

/** An implementation of a feature that modules offer each other by name. */
class IModularFeature
{
public:
	virtual ~IModularFeature() = default;
};

/**
 * The registry of modular features: a module registers its implementation under the
 * feature's name, others look it up without linking to the implementing module.
 */
class CORE_API IModularFeatures
{
public:
	static IModularFeatures& Get();

	/** Adds the implementation under Type; registering the same one twice keeps one entry. */
	void RegisterModularFeature(FName Type, IModularFeature* ModularFeature);
	void UnregisterModularFeature(FName Type, IModularFeature* ModularFeature);

	/** The implementation at Index, in registration order; null when Index is out of range. */
	IModularFeature* GetModularFeatureImplementation(FName Type, int32 Index);

private:
	// Defined where the registry is made, so that its fields stay out of the engine's API.
	struct FEntry;

	// Features are looked up from any thread.
	FCriticalSection Lock;
	TArray<FEntry> Entries;
};
