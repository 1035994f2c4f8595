// The engine's game-or-editor test is not public; plug-in code asks IsRunningGame().
#include "CoreMinimal.h"
#include "Misc/CoreMisc.h"

bool CompileFailureNonPublicEngineFunction()
{
#ifdef QUARN_FAULT
	return StaticGameCheck() == 1;
#else
	return IsRunningGame();
#endif
}
