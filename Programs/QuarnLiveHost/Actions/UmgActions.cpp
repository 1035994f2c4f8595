// addWidget {widget, size, position, enableAnimations}, drawWidgets {screenSize, deltaTime},
// removeAllWidgets: a Blueprint's calls of the UMG context subsystem; addToViewport {widget,
// zOrder}: a Blueprint putting a widget on the viewport itself, beside the subsystem.

#include "Actions/Action.h"

#include "Blueprint/UserWidget.h"
#include "Errors.h"
#include "Json/JsonPath.h"
#include "QuarnUMGContextSubsystem.h"
#include "State/UmgWidgets.h"

namespace quarnlive::actions
{
	namespace
	{
		constexpr double maxPixels = 16384.0;

		FVector2D readVector(const nlohmann::ordered_json& arguments, const char* key, const FVector2D& fallback)
		{
			const auto found = arguments.find(key);
			if (found == arguments.end())
			{
				return fallback;
			}
			return FVector2D((*found)[0].get<double>(), (*found)[1].get<double>());
		}

		/** The widget of umg.widgets the arguments name; a name it does not hold at this time is an error of the entry. */
		UUserWidget* namedWidget(const nlohmann::ordered_json& arguments, const Context& context)
		{
			const std::string name = arguments.at("widget").get<std::string>();
			UUserWidget* widget = state::findWidget(*context.widgets, name);
			if (!widget)
			{
				throw InputError(json::childPath(context.entryPath, "widget"), "no widget named \"" + name + "\" in umg.widgets at this time");
			}
			return widget;
		}

		void checkVector(json::ObjectReader& entry, const char* key, double min, bool required)
		{
			const nlohmann::ordered_json* value = required ? &entry.require(key) : entry.find(key);
			if (value)
			{
				json::readNumberPair(*value, entry.pathOf(key), min, maxPixels);
			}
		}

		class AddWidgetAction final : public Action
		{
		public:
			std::string_view name() const override { return "addWidget"; }
			void checkArguments(json::ObjectReader& entry) const override
			{
				// null hands the subsystem no widget at all, as a Blueprint with an unset variable does.
				const nlohmann::ordered_json& widget = entry.require("widget");
				if (!widget.is_null() && json::readString(widget, entry.pathOf("widget")).empty())
				{
					throw InputError(entry.pathOf("widget"), "needs the name of a widget of umg.widgets, or null");
				}
				checkVector(entry, "size", 0.0, true);
				checkVector(entry, "position", -maxPixels, false);
				if (const nlohmann::ordered_json* animations = entry.find("enableAnimations"))
				{
					json::readBool(*animations, entry.pathOf("enableAnimations"));
				}
			}
			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				UUserWidget* widget = arguments.at("widget").is_null() ? nullptr : namedWidget(arguments, context);
				if (UQuarnUMGContextSubsystem* subsystem = UQuarnUMGContextSubsystem::Get())
				{
					const FVector2D size = readVector(arguments, "size", FVector2D::ZeroVector);
					const FVector2D position = readVector(arguments, "position", FVector2D::ZeroVector);
					const bool enableAnimations = arguments.value("enableAnimations", true);
					asModule([&] { subsystem->AddWidget(widget, size, position, enableAnimations); });
				}
			}
		};

		class AddToViewportAction final : public Action
		{
		public:
			std::string_view name() const override { return "addToViewport"; }
			void checkArguments(json::ObjectReader& entry) const override
			{
				if (json::readString(entry.require("widget"), entry.pathOf("widget")).empty())
				{
					throw InputError(entry.pathOf("widget"), "needs the name of a widget of umg.widgets");
				}
				if (const nlohmann::ordered_json* zOrder = entry.find("zOrder"))
				{
					json::readInteger(*zOrder, entry.pathOf("zOrder"));
				}
			}
			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				namedWidget(arguments, context)->AddToViewport(static_cast<int32>(arguments.value("zOrder", int64_t{0})));
			}
		};

		class DrawWidgetsAction final : public Action
		{
		public:
			std::string_view name() const override { return "drawWidgets"; }
			void checkArguments(json::ObjectReader& entry) const override
			{
				checkVector(entry, "screenSize", 0.0, false);
				if (const nlohmann::ordered_json* deltaTime = entry.find("deltaTime"))
				{
					json::readNumber(*deltaTime, entry.pathOf("deltaTime"), 0.0, 3600.0);
				}
			}
			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				if (UQuarnUMGContextSubsystem* subsystem = UQuarnUMGContextSubsystem::Get())
				{
					const FVector2D screenSize = readVector(arguments, "screenSize", FVector2D(1920.0, 1080.0));
					const float deltaTime = arguments.value("deltaTime", 0.f);
					asModule([&] { subsystem->DrawWidgets(screenSize, deltaTime); });
				}
			}
		};

		class RemoveAllWidgetsAction final : public Action
		{
		public:
			std::string_view name() const override { return "removeAllWidgets"; }
			void checkArguments(json::ObjectReader&) const override {}
			void run(const nlohmann::ordered_json&, Context&) const override
			{
				if (UQuarnUMGContextSubsystem* subsystem = UQuarnUMGContextSubsystem::Get())
				{
					asModule([subsystem] { subsystem->RemoveAllWidgets(); });
				}
			}
		};
	} // namespace

	const Action& addWidgetAction()
	{
		static const AddWidgetAction action;
		return action;
	}

	const Action& addToViewportAction()
	{
		static const AddToViewportAction action;
		return action;
	}

	const Action& drawWidgetsAction()
	{
		static const DrawWidgetsAction action;
		return action;
	}

	const Action& removeAllWidgetsAction()
	{
		static const RemoveAllWidgetsAction action;
		return action;
	}
} // namespace quarnlive::actions
