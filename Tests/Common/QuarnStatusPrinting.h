#pragma once

// Status values in test failures: colour name and quoted message.

#include "QuarnStatus.h"

#include <ostream>

/** Prints a status as colour and quoted message in test failures. */
inline void PrintTo(const FQuarnStatus& Status, std::ostream* Stream)
{
	const char* ColorName = Status.Color == FLinearColor::Green ? "Green" : Status.Color == FLinearColor::Yellow ? "Yellow" : Status.Color == FLinearColor::Red ? "Red" : "other";
	*Stream << ColorName << " \"" << Status.Message.ToStdString() << "\"";
}
