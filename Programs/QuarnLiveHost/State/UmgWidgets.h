#pragma once

#include <string>

class UUserWidget;
class UWidget;

namespace quarnlive::state
{
	/** The widget the "umg" section made under that name, or null. */
	UUserWidget* findWidget(const std::string& name);
	/** The name the "umg" section made the widget under; empty for a widget it did not make. */
	std::string widgetName(const UWidget* widget);
} // namespace quarnlive::state
