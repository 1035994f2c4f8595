#pragma once
#include "NoExportStruct.generated.h"

USTRUCT(NoExport)
struct FNoExportStruct
{
	GENERATED_BODY()
};
