#include "QuarnViewportEditorSubsystem.h"

#include "Engine/Engine.h"
#include "Subsystems/SubsystemAvailability.h"

namespace
{
	bool IsKnownSignal(EQuarnMediaIOSignal Signal)
	{
		return static_cast<uint8>(Signal) <= static_cast<uint8>(EQuarnMediaIOSignal::KeyInput);
	}
} // namespace

UQuarnViewportEditorSubsystem* UQuarnViewportEditorSubsystem::Get()
{
	return FSubsystemAvailability::IsAvailable(StaticClass()) && GEngine ? GEngine->GetEngineSubsystem<UQuarnViewportEditorSubsystem>() : nullptr;
}

void UQuarnViewportEditorSubsystem::SetAvailable(bool bAvailable)
{
	FSubsystemAvailability::SetAvailable(StaticClass(), bAvailable);
}

bool UQuarnViewportEditorSubsystem::HasViewportLayoutEntity(EQuarnMediaIOSignal Signal) const
{
	return IsKnownSignal(Signal) && bHasEntityForSignal[static_cast<uint8>(Signal)];
}

void UQuarnViewportEditorSubsystem::SetViewportLayoutEntity(EQuarnMediaIOSignal Signal, bool bHasEntity)
{
	if (IsKnownSignal(Signal))
	{
		bHasEntityForSignal[static_cast<uint8>(Signal)] = bHasEntity;
	}
}
