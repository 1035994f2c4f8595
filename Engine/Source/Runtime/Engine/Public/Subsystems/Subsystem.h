#pragma once

#include "CoreMinimal.h"
#include "Subsystems/SubsystemCollection.h"
#include "UObject/Object.h"
#include "Subsystem.generated.h"

/** An object whose life the engine manages: created, initialised, deinitialised and destroyed with its owner. */
UCLASS(Abstract)
class ENGINE_API USubsystem : public UObject
{
	GENERATED_BODY()

public:
	/** Asked on the class default object before an instance is made. */
	virtual bool ShouldCreateSubsystem(UObject* Outer) const { return true; }
	virtual void Initialize(FSubsystemCollectionBase& Collection) {}
	virtual void Deinitialize() {}
};
