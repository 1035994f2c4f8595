#pragma once

#include <string>

// The host's one way of writing numbers: the shortest text that reads back to the same value.
namespace quarnlive::output
{
	/** "0.1", not "0.100000001": the shortest text that reads back to the same float. */
	std::string shortestText(float value);
	/** The same for a double. */
	std::string shortestText(double value);
	/** The float as the double its shortest text reads as, for JSON (0.1f -> 0.1). */
	double jsonNumber(float value);

	/** Rounded to four decimals, never -0: what people are shown of measured values. */
	double roundedNumber(double value);
	/** The rounded value's shortest text: at most four decimals, no trailing zeros, never "-0". */
	std::string shortNumber(double value);
} // namespace quarnlive::output
