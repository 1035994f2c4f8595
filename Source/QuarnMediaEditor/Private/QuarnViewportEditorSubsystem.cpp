#include "QuarnViewportEditorSubsystem.h"

#include "Engine/Engine.h"
#include "Subsystems/SubsystemAvailability.h"
#include "UObject/CallTraceObject.h"

namespace
{
	bool IsKnownSignal(EQuarnMediaIOSignal Signal)
	{
		return static_cast<uint8>(Signal) <= static_cast<uint8>(EQuarnMediaIOSignal::KeyInput);
	}
} // namespace

UQuarnViewportEditorSubsystem* UQuarnViewportEditorSubsystem::Get()
{
	UQuarnViewportEditorSubsystem* Subsystem = FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? Cast<UQuarnViewportEditorSubsystem>(GEngine->GetEngineSubsystemBase(StaticClass())) : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnMediaEditor"), TEXT("UQuarnViewportEditorSubsystem::Get"), {}, TraceObject(Subsystem));
	}
	return Subsystem;
}

void UQuarnViewportEditorSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}

bool UQuarnViewportEditorSubsystem::HasViewportLayoutEntity(EQuarnMediaIOSignal Signal) const
{
	const bool bHasEntity = IsKnownSignal(Signal) && bHasEntityForSignal[static_cast<uint8>(Signal)];
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TEXT("QuarnMediaEditor"), TEXT("UQuarnViewportEditorSubsystem::HasViewportLayoutEntity"), {{TEXT("Signal"), StaticEnum<EQuarnMediaIOSignal>()->GetNameStringByValue(static_cast<int64>(Signal))}}, bHasEntity);
	}
	return bHasEntity;
}

void UQuarnViewportEditorSubsystem::SetViewportLayoutEntity(EQuarnMediaIOSignal Signal, bool bHasEntity)
{
	if (IsKnownSignal(Signal))
	{
		bHasEntityForSignal[static_cast<uint8>(Signal)] = bHasEntity;
	}
}
