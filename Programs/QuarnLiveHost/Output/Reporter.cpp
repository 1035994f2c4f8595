#include "Output/Reporter.h"


namespace quarnlive::output
{
	std::string colorName(const FLinearColor& color)
	{
		if (color == FLinearColor::Green)
		{
			return "Green";
		}
		if (color == FLinearColor::Yellow)
		{
			return "Yellow";
		}
		if (color == FLinearColor::Red)
		{
			return "Red";
		}
		return {};
	}
} // namespace quarnlive::output
