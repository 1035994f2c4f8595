#pragma once

#include "CoreMinimal.h"
#include "QuarnEngineSubsystemBase.h"
#include "QuarnMediaTypes.h"
#include "QuarnViewportEditorSubsystem.generated.h"

/** The editor's viewport layout: which video signals have an entity in it. */
UCLASS()
class QUARNMEDIAEDITOR_API UQuarnViewportEditorSubsystem : public UQuarnEngineSubsystemBase
{
	GENERATED_BODY()

public:
	/** The engine's instance; null without an engine or while unavailable. */
	static UQuarnViewportEditorSubsystem* Get();
	/** See UQuarnEngineSubsystemBase. */
	static void SetAvailable(bool bAvailable);

	/** Whether the viewport layout has an entity for the signal. */
	bool HasViewportLayoutEntity(EQuarnMediaIOSignal Signal) const;
	void SetViewportLayoutEntity(EQuarnMediaIOSignal Signal, bool bHasEntity);

private:
	/** Indexed by EQuarnMediaIOSignal. */
	bool bHasEntityForSignal[4] = {false, false, false, false};
};
