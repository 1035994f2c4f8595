#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "UObject/CallTraceObject.h"
#include "UObject/Object.h"
#include "Engine.generated.h"

/** The engine object: owns the engine subsystems. */
UCLASS()
class ENGINE_API UEngine : public UObject
{
	GENERATED_BODY()

public:
	/** Creates and initialises one instance of every engine subsystem class that wants to exist. */
	void InitializeSubsystems();

	UEngineSubsystem* GetEngineSubsystemBase(UClass* SubsystemClass) const;
	template <typename T>
	T* GetEngineSubsystem() const
	{
		UClass* SubsystemClass = T::StaticClass();
		T* Subsystem = SubsystemClass == LastLookupClass && LastLookupSubsystem ? static_cast<T*>(LastLookupSubsystem) : static_cast<T*>(GetEngineSubsystemBase(SubsystemClass));
		if (FCallTrace::IsActive())
		{
			FCallTrace::Record(TEXT("Engine"), TEXT("UEngine::GetEngineSubsystem"), {{TEXT("Class"), SubsystemClass->GetName()}}, TraceObject(Subsystem));
		}
		return Subsystem;
	}

private:
	friend class FEngineSubsystemCollection;
	// Only engine shut-down takes the subsystems down.
	friend class FHeadlessEngineLoop;

	/** Deinitialises the subsystems, newest first, and destroys them. */
	void DeinitializeSubsystems();

	TArray<UEngineSubsystem*> Subsystems;
	// Subsystem lookups run every tick; most callers ask for the same class again.
	mutable UClass* LastLookupClass = nullptr;
	mutable UEngineSubsystem* LastLookupSubsystem = nullptr;
};

/** The global engine; null until the engine has booted and after it shut down. */
extern ENGINE_API UEngine* GEngine;
