#include "Engine/Engine.h"

#include "Subsystems/SubsystemAvailability.h"
#include "UObject/Class.h"

UEngine* GEngine = nullptr;

class FEngineSubsystemCollection final : public FSubsystemCollectionBase
{
public:
	explicit FEngineSubsystemCollection(UEngine& InEngine)
		: Engine(InEngine)
	{
	}

	USubsystem* InitializeDependency(UClass* SubsystemClass) override
	{
		if (UEngineSubsystem* Existing = Engine.GetEngineSubsystemBase(SubsystemClass))
		{
			return Existing;
		}
		return Create(SubsystemClass);
	}

	UEngineSubsystem* Create(UClass* SubsystemClass)
	{
		if (!SubsystemClass || SubsystemClass->HasAnyClassFlags(CLASS_Abstract) || Creating.Contains(SubsystemClass))
		{
			return nullptr;
		}
		const USubsystem* Default = static_cast<const USubsystem*>(SubsystemClass->GetDefaultObject());
		if (!Default || !FSubsystemAvailability::IsAvailable(SubsystemClass) || !Default->ShouldCreateSubsystem(&Engine))
		{
			return nullptr;
		}
		Creating.Add(SubsystemClass);
		UEngineSubsystem* Subsystem = static_cast<UEngineSubsystem*>(StaticConstructObject(SubsystemClass, &Engine, NAME_None));
		if (Subsystem)
		{
			Engine.Subsystems.Add(Subsystem);
			Subsystem->Initialize(*this);
		}
		Creating.Remove(SubsystemClass);
		return Subsystem;
	}

private:
	UEngine& Engine;
	TArray<UClass*> Creating;
};

void UEngine::InitializeSubsystems()
{
	FEngineSubsystemCollection Collection(*this);
	for (UClass* Class : FReflectionRegistry::GetAllClasses())
	{
		if (Class->IsChildOf(UEngineSubsystem::StaticClass()) && !GetEngineSubsystemBase(Class))
		{
			Collection.Create(Class);
		}
	}
}

void UEngine::DeinitializeSubsystems()
{
	const TArray<UEngineSubsystem*> Existing = Subsystems;
	LastLookupClass = nullptr;
	LastLookupSubsystem = nullptr;
	for (int32 Index = Existing.Num() - 1; Index >= 0; --Index)
	{
		Existing[Index]->Deinitialize();
	}
	Subsystems.Empty();
	for (int32 Index = Existing.Num() - 1; Index >= 0; --Index)
	{
		Existing[Index]->MarkAsGarbage();
	}
	CollectGarbage();
}

UEngineSubsystem* UEngine::GetEngineSubsystemBase(UClass* SubsystemClass) const
{
	if (SubsystemClass == LastLookupClass && LastLookupSubsystem)
	{
		return LastLookupSubsystem;
	}
	for (UEngineSubsystem* Subsystem : Subsystems)
	{
		if (Subsystem->GetClass() == SubsystemClass)
		{
			LastLookupClass = SubsystemClass;
			LastLookupSubsystem = Subsystem;
			return Subsystem;
		}
	}
	return nullptr;
}
