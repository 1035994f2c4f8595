#pragma once

#include "UObject/Class.h"

/**
 * Stands in for Blueprint graphs: a handler that receives every Blueprint event an
 * object raises (BlueprintImplementableEvent functions), with its parameter block.
 */
struct COREUOBJECT_API FBlueprintEventSink
{
	using FHandler = TFunction<void(UObject* Object, UFunction* Function, void* Parms)>;

	static void SetHandler(FHandler Handler);
	static void ClearHandler();
	static void Dispatch(UObject* Object, UFunction* Function, void* Parms);
};
