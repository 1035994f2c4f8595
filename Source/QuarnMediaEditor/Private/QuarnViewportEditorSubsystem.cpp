#include "QuarnViewportEditorSubsystem.h"

#include "Engine/Engine.h"

#include <atomic>

namespace
{
	std::atomic<bool> bViewportEditorSubsystemAvailable = true;

	bool IsKnownSignal(EQuarnMediaIOSignal Signal)
	{
		return static_cast<uint8>(Signal) <= static_cast<uint8>(EQuarnMediaIOSignal::KeyInput);
	}
} // namespace

UQuarnViewportEditorSubsystem* UQuarnViewportEditorSubsystem::Get()
{
	return bViewportEditorSubsystemAvailable && GEngine ? GEngine->GetEngineSubsystem<UQuarnViewportEditorSubsystem>() : nullptr;
}

void UQuarnViewportEditorSubsystem::SetAvailable(bool bAvailable)
{
	bViewportEditorSubsystemAvailable = bAvailable;
	if (bAvailable)
	{
		CreateIfMissing(StaticClass());
	}
}

bool UQuarnViewportEditorSubsystem::IsAvailable()
{
	return bViewportEditorSubsystemAvailable;
}

bool UQuarnViewportEditorSubsystem::ShouldCreateSubsystem(UObject* Outer) const
{
	return bViewportEditorSubsystemAvailable;
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
