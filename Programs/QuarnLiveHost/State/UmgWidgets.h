#pragma once

#include "UObject/Object.h"

#include <map>
#include <string>

class UUserWidget;
class UWidget;

namespace quarnlive::state
{
	/** The user widgets the "umg" section made, by name. */
	using MadeWidgets = std::map<std::string, TWeakObjectPtr<UUserWidget>>;

	/** The widget made under that name, or null. */
	UUserWidget* findWidget(const MadeWidgets& widgets, const std::string& name);
	/** The name the widget was made under; empty for a widget the section did not make. */
	std::string widgetName(const MadeWidgets& widgets, const UWidget* widget);
} // namespace quarnlive::state
