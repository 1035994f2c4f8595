#pragma once

#include "CoreMinimal.h"

/** The editor's global notifications. */
struct UNREALED_API FEditorDelegates
{
	DECLARE_MULTICAST_DELEGATE_OneParam(FOnPIEEvent, const bool);

	/** Play-in-editor is starting; the argument is true for simulate-in-editor. */
	static FOnPIEEvent BeginPIE;
	/** Play-in-editor has ended. */
	static FOnPIEEvent EndPIE;
};
