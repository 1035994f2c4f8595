// editSettings {property, value}: a change on the plug-in's settings page, in-process as the
// editor makes it: the object changes, the page's modified handler runs (the module's, which
// broadcasts its settings-changed delegate), and the page is saved when the handler agrees.

#include "Actions/Action.h"

#include "Errors.h"
#include "Reflection/PropertyJson.h"
#include "Settings/SettingsEdit.h"

#include "UObject/Class.h"

namespace quarnlive::actions
{
	namespace
	{
		std::vector<std::string> textsOf(const nlohmann::ordered_json& value)
		{
			const auto textOf = [](const nlohmann::ordered_json& item) { return item.is_string() ? item.get<std::string>() : item.dump(); };
			std::vector<std::string> texts;
			if (value.is_array())
			{
				for (const nlohmann::ordered_json& item : value)
				{
					texts.push_back(textOf(item));
				}
			}
			else
			{
				texts.push_back(textOf(value));
			}
			return texts;
		}

		class EditSettingsAction final : public Action
		{
		public:
			std::string_view name() const override { return "editSettings"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readString(entry.require("property"), entry.pathOf("property"));
				const nlohmann::ordered_json& value = entry.require("value");
				if (value.is_object() || value.is_null())
				{
					throw InputError(entry.pathOf("value"), "expected a value, or an array of values for a list, got " + value.dump());
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				const std::string property = arguments.at("property").get<std::string>();
				settings::Edited edited;
				try
				{
					const std::vector<std::string> texts = textsOf(arguments.at("value"));
					edited = asModule([&] { return settings::editSetting(property, texts); });
				}
				catch (const InputError& error)
				{
					throw InputError(context.entryPath, "editSettings: " + error.problem());
				}
				catch (const RuntimeFailure& error)
				{
					throw RuntimeFailure(std::string("editSettings: ") + error.what());
				}
				const settings::Found& found = edited.found;
				const bool saved = edited.saved;
				const nlohmann::ordered_json value = reflection::valueJson(*found.property, found.property->ContainerPtrToValuePtr(found.object));
				context.reporter->line(context.stamp(), "settings", nlohmann::ordered_json{{"property", property}, {"value", value}, {"saved", saved}},
					property + " = " + value.dump() + (saved ? ", saved" : ", not saved: the page's handler refused it"));
			}
		};
	} // namespace

	const Action& editSettingsAction()
	{
		static const EditSettingsAction action;
		return action;
	}
} // namespace quarnlive::actions
