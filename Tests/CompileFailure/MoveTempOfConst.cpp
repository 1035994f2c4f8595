// The engine's MoveTemp refuses a const object: the "move" would quietly copy it.
#include "CoreMinimal.h"

FString CompileFailureMoveTempOfConst(FString Text)
{
#ifdef QUARN_FAULT
	const FString Source = Text;
#else
	FString Source = Text;
#endif
	return MoveTemp(Source);
}
