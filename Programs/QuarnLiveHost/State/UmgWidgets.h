#pragma once

#include <string>

class UUserWidget;

namespace quarnlive::state
{
	/** The widget the "umg" section made under that name, or null. */
	UUserWidget* findWidget(const std::string& name);
} // namespace quarnlive::state
