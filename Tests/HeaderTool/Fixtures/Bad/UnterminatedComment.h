#pragma once
#include "UnterminatedComment.generated.h"

/* never closed
USTRUCT()
struct FUnterminatedComment
{
	GENERATED_BODY()
};
