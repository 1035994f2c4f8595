#pragma once
#include "NamespacedEnum.generated.h"

UENUM()
namespace ELegacy
{
	enum Type
	{
		A,
	};
}
