#pragma once

// Status values in test failures: colour name and quoted message.

#include "QuarnStatus.h"

#include <ostream>
#include <utility>

inline const char* StatusColorName(const FLinearColor& Color)
{
	for (const auto& [Level, Name] : {std::pair{FLinearColor::Green, "Green"}, std::pair{FLinearColor::Yellow, "Yellow"}, std::pair{FLinearColor::Red, "Red"}})
	{
		if (Color == Level)
		{
			return Name;
		}
	}
	return "other";
}

/** Prints a status as colour and quoted message in test failures. */
inline void PrintTo(const FQuarnStatus& Status, std::ostream* Stream)
{
	*Stream << StatusColorName(Status.Color) << " \"" << Status.Message.ToStdString() << "\"";
}
