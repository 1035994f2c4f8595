// A shared reference is never null: assigning null must not compile.
#include "CoreMinimal.h"

namespace
{
	struct FThing
	{
	};
} // namespace

void CompileFailureNullSharedRef()
{
	TSharedRef<FThing> Ref = MakeShared<FThing>();
#ifdef QUARN_FAULT
	Ref = nullptr;
#else
	Ref = MakeShared<FThing>();
#endif
	(void)Ref;
}
