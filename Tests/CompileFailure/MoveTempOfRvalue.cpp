// The engine's MoveTemp refuses an rvalue, which needs no move.
#include "CoreMinimal.h"

FString CompileFailureMoveTempOfRvalue(FString Text)
{
#ifdef QUARN_FAULT
	return MoveTemp(FString(Text));
#else
	return MoveTemp(Text);
#endif
}
