#pragma once

#include "CoreMinimal.h"

class USubsystem;
class UClass;

/** What a subsystem sees of the collection that creates it. */
class ENGINE_API FSubsystemCollectionBase
{
public:
	virtual ~FSubsystemCollectionBase() = default;
	/** Makes sure the subsystem of SubsystemClass is initialised before the caller goes on. */
	virtual USubsystem* InitializeDependency(UClass* SubsystemClass) = 0;
	template <typename T>
	T* InitializeDependency()
	{
		return static_cast<T*>(InitializeDependency(T::StaticClass()));
	}
};
