// "umg": the user widgets a Blueprint would make, by name, each described by the elements it
// draws and the animations it plays. Timeline actions register and draw them (Actions/UmgActions.cpp).

#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"
#include "State/UmgWidgets.h"

#include "Blueprint/UserWidget.h"
#include "Errors.h"
#include "Fonts/FontCache.h"
#include "Json/Checks.h"
#include "Json/EachEntry.h"
#include "Scenario/ScenarioColor.h"
#include "Scenario/ScenarioFiles.h"

namespace quarnlive::state
{
	namespace
	{
		constexpr double maxPixels = 16384.0;

		FVector2D readVector(const nlohmann::ordered_json& value, const std::string& path, double min)
		{
			const auto [x, y] = json::readNumberPair(value, path, min, maxPixels);
			return FVector2D(x, y);
		}

		std::string readFontFamily(const nlohmann::ordered_json& value, const std::string& path)
		{
			const std::string family = json::readString(value, path);
			if (family.empty())
			{
				throw InputError(path, "a font family needs a name; leave the key out for the engine's font");
			}
			if (!FSlateFontCache::IsFamilyInstalled(FString(family)))
			{
				throw InputError(path, "font family \"" + family + "\" is not installed (fc-list : family lists the installed ones)");
			}
			return family;
		}

		FWidgetElement readElement(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			FWidgetElement element;
			const std::string type = json::readChoice(reader.require("type"), reader.pathOf("type"), {"box", "text", "image"});
			element.Kind = type == "box" ? EWidgetElementKind::Box : type == "text" ? EWidgetElementKind::Text
																					: EWidgetElementKind::Image;
			if (const nlohmann::ordered_json* position = reader.find("position"))
			{
				element.Position = readVector(*position, reader.pathOf("position"), -maxPixels);
			}
			if (element.Kind != EWidgetElementKind::Text)
			{
				element.Size = readVector(reader.require("size"), reader.pathOf("size"), 0.0);
			}
			if (const nlohmann::ordered_json* color = reader.find("color"))
			{
				element.Color = scenario::readHexLinearColor(*color, reader.pathOf("color"));
			}
			if (const nlohmann::ordered_json* opacity = reader.find("opacity"))
			{
				element.Opacity = static_cast<float>(json::readNumber(*opacity, reader.pathOf("opacity"), 0.0, 1.0));
			}
			if (element.Kind == EWidgetElementKind::Box)
			{
				if (const nlohmann::ordered_json* radius = reader.find("radius"))
				{
					element.CornerRadius = static_cast<float>(json::readNumber(*radius, reader.pathOf("radius"), 0.0, maxPixels));
				}
				if (const nlohmann::ordered_json* border = reader.find("border"))
				{
					json::ObjectReader borderReader(*border, reader.pathOf("border"));
					element.BorderThickness = static_cast<float>(json::readNumber(borderReader.require("thickness"), borderReader.pathOf("thickness"), 0.0, 1000.0));
					element.BorderColor = scenario::readHexLinearColor(borderReader.require("color"), borderReader.pathOf("color"));
					borderReader.rejectUnknown();
				}
			}
			if (element.Kind == EWidgetElementKind::Text)
			{
				element.Text = FString(json::readString(reader.require("text"), reader.pathOf("text")));
				if (const nlohmann::ordered_json* fontSize = reader.find("fontSize"))
				{
					element.FontSize = static_cast<int32>(json::readInteger(*fontSize, reader.pathOf("fontSize"), 1, 1000));
				}
				if (const nlohmann::ordered_json* bold = reader.find("bold"))
				{
					element.bBold = json::readBool(*bold, reader.pathOf("bold"));
				}
				if (const nlohmann::ordered_json* italic = reader.find("italic"))
				{
					element.bItalic = json::readBool(*italic, reader.pathOf("italic"));
				}
				if (const nlohmann::ordered_json* family = reader.find("fontFamily"))
				{
					element.FontFamily = FString(readFontFamily(*family, reader.pathOf("fontFamily")));
				}
				if (const nlohmann::ordered_json* align = reader.find("align"))
				{
					const std::string alignment = json::readChoice(*align, reader.pathOf("align"), {"left", "center", "right"});
					element.Alignment = alignment == "left" ? EWidgetTextAlignment::Left
						: alignment == "center"             ? EWidgetTextAlignment::Center
															: EWidgetTextAlignment::Right;
				}
				if (const nlohmann::ordered_json* wrapWidth = reader.find("wrapWidth"))
				{
					element.WrapWidth = static_cast<float>(json::readNumber(*wrapWidth, reader.pathOf("wrapWidth"), 0.0, maxPixels, true));
				}
			}
			if (element.Kind == EWidgetElementKind::Image)
			{
				const std::string file = json::readString(reader.require("file"), reader.pathOf("file"));
				scenario::checkPngFile(file, reader.pathOf("file"));
				element.ImagePath = FString(scenario::resolveFile(file).string());
			}
			reader.rejectUnknown();
			return element;
		}

		FWidgetAnimation readAnimation(const nlohmann::ordered_json& value, const std::string& path, std::size_t elementCount)
		{
			json::ObjectReader reader(value, path);
			FWidgetAnimation animation;
			const std::int64_t last = static_cast<std::int64_t>(elementCount) - 1;
			if (last < 0)
			{
				throw InputError(path, "an animation needs an element to animate, and this widget has none");
			}
			animation.ElementIndex = static_cast<int32>(json::readInteger(reader.require("element"), reader.pathOf("element"), 0, last));
			const std::string property = json::readChoice(reader.require("property"), reader.pathOf("property"), {"opacity", "x", "y"});
			animation.Property = property == "opacity" ? EWidgetAnimatedProperty::Opacity
				: property == "x"                      ? EWidgetAnimatedProperty::PositionX
													   : EWidgetAnimatedProperty::PositionY;
			const double min = animation.Property == EWidgetAnimatedProperty::Opacity ? 0.0 : -maxPixels;
			const double max = animation.Property == EWidgetAnimatedProperty::Opacity ? 1.0 : maxPixels;
			animation.From = static_cast<float>(json::readNumber(reader.require("from"), reader.pathOf("from"), min, max));
			animation.To = static_cast<float>(json::readNumber(reader.require("to"), reader.pathOf("to"), min, max));
			animation.Duration = static_cast<float>(json::readNumber(reader.require("duration"), reader.pathOf("duration"), 0.0, 3600.0));
			if (const nlohmann::ordered_json* loop = reader.find("loop"))
			{
				animation.bLoop = json::readBool(*loop, reader.pathOf("loop"));
			}
			reader.rejectUnknown();
			return animation;
		}

		FWidgetDescription readDescription(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			FWidgetDescription description;
			const nlohmann::ordered_json& elements = reader.require("elements");
			json::eachInArray(elements, reader.pathOf("elements"), "elements", [&description](const nlohmann::ordered_json& element, const std::string& elementPath) {
				description.Elements.Add(readElement(element, elementPath));
			});
			if (const nlohmann::ordered_json* animations = reader.find("animations"))
			{
				json::eachInArray(*animations, reader.pathOf("animations"), "animations",
					[&description, &elements](const nlohmann::ordered_json& animation, const std::string& animationPath) {
						description.Animations.Add(readAnimation(animation, animationPath, elements.size()));
					});
			}
			reader.rejectUnknown();
			return description;
		}

		void checkWidgets(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachByName(value, path, "widgets by name", readDescription, "a widget needs a name");
		}

		void applyWidgets(const nlohmann::ordered_json& value, RunState& run)
		{
			MadeWidgets& widgets = run.widgets;
			// A widget the state no longer has is destroyed, as a Blueprint's widget would be.
			for (auto it = widgets.begin(); it != widgets.end();)
			{
				if (value.contains(it->first))
				{
					++it;
					continue;
				}
				if (UUserWidget* widget = it->second.Get())
				{
					widget->RemoveFromParent();
					widget->MarkAsGarbage();
				}
				it = widgets.erase(it);
			}
			for (const auto& [name, description] : value.items())
			{
				UUserWidget* widget = widgets[name].Get();
				if (!widget)
				{
					widget = NewObject<UUserWidget>(nullptr, nullptr, FName(FString(name)));
					widgets[name] = widget;
				}
				widget->SetDescription(readDescription(description, "$"));
			}
		}
	} // namespace

	UUserWidget* findWidget(const MadeWidgets& widgets, const std::string& name)
	{
		const auto found = widgets.find(name);
		return found == widgets.end() ? nullptr : found->second.Get();
	}

	std::string widgetName(const MadeWidgets& widgets, const UWidget* widget)
	{
		for (const auto& [name, made] : widgets)
		{
			if (widget && made.Get() == widget)
			{
				return name;
			}
		}
		return std::string();
	}

	const Section& umgSection()
	{
		static const Section section("umg", {
												Field{"widgets", nlohmann::ordered_json::object(), checkWidgets, applyWidgets},
											});
		return section;
	}
} // namespace quarnlive::state
