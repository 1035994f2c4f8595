#include "Settings/SettingsCommand.h"
#include "Settings/SettingsEdit.h"

#include "Errors.h"
#include "Output/LineWriter.h"
#include "Run/PluginDescriptor.h"
#include "Run/PluginEngineOptions.h"
#include "Run/ProjectFolder.h"

#include "HeadlessEngineLoop.h"
#include "HeadlessLiveLinkClient.h"
#include "ISettingsModule.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "QuarnLiveSettings.h"
#include "UObject/Class.h"
#include "UObject/Object.h"

#include <cstdio>
#include <optional>
#include <sstream>

#ifndef QUARN_PLUGIN_DIR
#error "QUARN_PLUGIN_DIR must name the plug-in root, ending in '/'"
#endif

namespace quarnlive::settings
{
	namespace
	{
		/** The editor, with its settings registry up before the plug-in's modules, as the real editor starts. */
		class EditorSession
		{
		public:
			explicit EditorSession(const std::optional<std::filesystem::path>& project)
			{
				const std::filesystem::path pluginDir = QUARN_PLUGIN_DIR;
				const std::vector<std::string> moduleNames = run::readModuleNames(pluginDir / "QuarnPranto.uplugin");
				projectDir_ = run::prepareProjectFolder(project);

				FHeadlessLiveLinkClient::Register();
				bootWithoutNetwork(run::pluginEngineOptions(true, projectDir_, pluginDir, moduleNames));
			}
			~EditorSession()
			{
				FHeadlessEngineLoop::Shutdown();
				FHeadlessLiveLinkClient::Unregister();
			}
			EditorSession(const EditorSession&) = delete;
			EditorSession& operator=(const EditorSession&) = delete;

			ISettingsModule& registry() const
			{
				ISettingsModule* module = FModuleManager::GetModulePtr<ISettingsModule>("Settings");
				if (!module)
				{
					throw RuntimeFailure("the editor's settings registry could not be loaded");
				}
				return *module;
			}

		private:
			/**
			 * Only the settings page is wanted: the multi-engine server stays down, so an engine
			 * running on this machine keeps port 10001. The switch is off in memory only while the
			 * subsystems start, so listings and saves still show the project's own value.
			 */
			static void bootWithoutNetwork(const FHeadlessEngineOptions& options)
			{
				std::optional<bool> projectValue;
				const FDelegateHandle hook = FHeadlessEngineLoop::OnPreSubsystems().AddLambda([&projectValue] {
					if (UQuarnLiveSettings* liveSettings = UQuarnLiveSettings::Get())
					{
						projectValue = liveSettings->bDisableMultiEngine;
						liveSettings->bDisableMultiEngine = true;
					}
				});
				FHeadlessEngineLoop::Boot(options);
				FHeadlessEngineLoop::OnPreSubsystems().Remove(hook);
				if (UQuarnLiveSettings* liveSettings = UQuarnLiveSettings::Get(); liveSettings && projectValue)
				{
					liveSettings->bDisableMultiEngine = *projectValue;
				}
			}

			std::filesystem::path projectDir_;
		};

		std::string text(const FString& value) { return value.ToStdString(); }
		std::string text(const FName& value) { return value.ToString().ToStdString(); }
		std::string text(const FText& value) { return value.ToString().ToStdString(); }

		bool isAdvanced(const FProperty& property)
		{
			return property.HasAnyPropertyFlags(CPF_AdvancedDisplay) || property.HasMetaData("AdvancedDisplay");
		}

		bool needsRestart(const FProperty& property)
		{
			return property.GetMetaData("ConfigRestartRequired").Equals(TEXT("true"), ESearchCase::IgnoreCase);
		}

		bool isEditable(const FProperty& property)
		{
			return property.HasAnyPropertyFlags(CPF_Edit) && !property.HasAnyPropertyFlags(CPF_EditConst);
		}

		/** The property an edit condition names, and whether it must be off ("!bFlag") rather than on. */
		struct EditCondition
		{
			const FProperty* property = nullptr;
			bool negated = false;
			std::string expression;
		};

		EditCondition editConditionOf(const UClass& settingsClass, const FProperty& property)
		{
			EditCondition condition;
			std::string expression = text(property.GetMetaData("EditCondition"));
			condition.expression = expression;
			if (!expression.empty() && expression.front() == '!')
			{
				condition.negated = true;
				expression.erase(0, 1);
			}
			if (!expression.empty())
			{
				condition.property = settingsClass.FindPropertyByName(FName(expression.c_str()));
			}
			return condition;
		}

		/** False while the edit condition blocks the property; conditions the page cannot evaluate never block. */
		bool editConditionMet(const EditCondition& condition, const UObject& object)
		{
			if (!condition.property || condition.property->GetKind() != EPropertyKind::Bool)
			{
				return true;
			}
			const bool value = *condition.property->ContainerPtrToValuePtr<const bool>(const_cast<UObject*>(&object));
			return value != condition.negated;
		}

		std::string valueText(const FProperty& property, const UObject& object)
		{
			FString exported;
			property.ExportTextItem(exported, property.ContainerPtrToValuePtr(static_cast<const void*>(&object)));
			return text(exported);
		}

		/** The file the page saves to: a default-config class's Default file, else its saved file. */
		FString pageFile(const UObject& object)
		{
			return object.GetClass()->HasAnyClassFlags(CLASS_DefaultConfig) ? object.GetDefaultConfigFilename() : object.GetConfigFilename();
		}

		std::string configPlace(const UObject& object)
		{
			return text(pageFile(object)) + " [" + text(object.GetClass()->GetStructPathName()) + "]";
		}

		/** The configuration layer the value was read from, relative to the project; empty for a class default. */
		std::string valueLayer(const FProperty& property, const UObject& object)
		{
			if (!GConfig || !property.HasAnyPropertyFlags(CPF_Config))
			{
				return std::string();
			}
			const std::string layer = text(GConfig->GetValueLayer(*object.GetClass()->GetStructPathName(), *property.GetName(), object.GetConfigFilename()));
			const std::string project = text(FPaths::ProjectDir());
			return layer.starts_with(project) ? layer.substr(project.size()) : layer;
		}

		/** What the page writes under a property: advanced, editable or not and why, restart. */
		std::vector<std::string> notesOf(const FProperty& property, const UObject& object)
		{
			std::vector<std::string> notes;
			if (isAdvanced(property))
			{
				notes.push_back("advanced");
			}
			const EditCondition condition = editConditionOf(*object.GetClass(), property);
			if (!isEditable(property))
			{
				notes.push_back("read-only");
			}
			else if (!editConditionMet(condition, object))
			{
				notes.push_back("read-only while " + condition.expression + " is false");
			}
			else if (!condition.expression.empty())
			{
				notes.push_back("editable while " + condition.expression + " is true");
			}
			if (needsRestart(property))
			{
				notes.push_back("a change needs an editor restart");
			}
			return notes;
		}

		/** The page as one JSON object: what the text shows, with each note as its own field. */
		nlohmann::ordered_json sectionJson(const ISettingsSection& section)
		{
			nlohmann::ordered_json page{{"type", "page"},
				{"container", text(section.GetContainerName())},
				{"category", text(section.GetCategoryName())},
				{"section", text(section.GetDisplayName())},
				{"description", text(section.GetDescription())}};
			const UObject* object = section.GetSettingsObject().Get();
			if (!object)
			{
				page["file"] = nullptr;
				page["properties"] = nlohmann::ordered_json::array();
				return page;
			}
			page["file"] = text(pageFile(*object));
			page["configSection"] = text(object->GetClass()->GetStructPathName());
			nlohmann::ordered_json properties = nlohmann::ordered_json::array();
			for (const FProperty* property : object->GetClass()->GetAllProperties())
			{
				if (!property->HasAnyPropertyFlags(CPF_Edit))
				{
					continue;
				}
				const EditCondition condition = editConditionOf(*object->GetClass(), *property);
				const std::string layer = valueLayer(*property, *object);
				properties.push_back({{"name", text(property->GetName())},
					{"displayName", text(property->GetDisplayNameText())},
					{"category", text(property->GetMetaData("Category"))},
					{"value", valueText(*property, *object)},
					{"tooltip", text(property->GetMetaData("ToolTip"))},
					{"advanced", isAdvanced(*property)},
					{"editable", isEditable(*property) && editConditionMet(condition, *object)},
					{"editCondition", condition.expression.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(condition.expression)},
					{"restartRequired", needsRestart(*property)},
					{"layer", layer.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(layer)},
					{"notes", notesOf(*property, *object)}});
			}
			page["properties"] = std::move(properties);
			return page;
		}

		void printSection(const ISettingsSection& section, std::FILE* out)
		{
			const UObject* object = section.GetSettingsObject().Get();
			std::fprintf(out, "%s / %s / %s: %s\n", text(section.GetContainerName()).c_str(), text(section.GetCategoryName()).c_str(),
				text(section.GetDisplayName()).c_str(), text(section.GetDescription()).c_str());
			if (!object)
			{
				std::fprintf(out, "  (its settings object is gone)\n");
				return;
			}
			std::fprintf(out, "  stored in %s\n", configPlace(*object).c_str());

			std::string category;
			for (const FProperty* property : object->GetClass()->GetAllProperties())
			{
				if (!property->HasAnyPropertyFlags(CPF_Edit))
				{
					continue;
				}
				const std::string propertyCategory = text(property->GetMetaData("Category"));
				if (propertyCategory != category)
				{
					category = propertyCategory;
					std::fprintf(out, "\n  %s\n", category.c_str());
				}
				std::fprintf(out, "    %s (%s) = %s\n", text(property->GetDisplayNameText()).c_str(), text(property->GetName()).c_str(),
					valueText(*property, *object).c_str());
				std::istringstream tooltip(text(property->GetMetaData("ToolTip")));
				for (std::string line; std::getline(tooltip, line);)
				{
					std::fprintf(out, "        %s\n", line.c_str());
				}

				const std::vector<std::string> notes = notesOf(*property, *object);
				if (!notes.empty())
				{
					std::string joined;
					for (const std::string& note : notes)
					{
						joined += (joined.empty() ? "" : "; ") + note;
					}
					std::fprintf(out, "        [%s]\n", joined.c_str());
				}
				const std::string layer = valueLayer(*property, *object);
				if (!layer.empty())
				{
					std::fprintf(out, "        (from %s)\n", layer.c_str());
				}
			}
		}

	} // namespace

	Found findProperty(const ISettingsModule& registry, const std::string& name)
	{
		std::string known;
		for (const TSharedPtr<ISettingsSection>& section : registry.GetAllSections())
		{
			UObject* object = section->GetSettingsObject().Get();
			if (!object)
			{
				continue;
			}
			for (FProperty* property : object->GetClass()->GetAllProperties())
			{
				if (!property->HasAnyPropertyFlags(CPF_Edit))
				{
					continue;
				}
				if (property->GetFName() == FName(name.c_str()))
				{
					return Found{section, object, property};
				}
				known += (known.empty() ? "" : ", ") + text(property->GetName());
			}
		}
		throw InputError("", "no setting named '" + name + "' on the settings pages" + (known.empty() ? std::string() : "; known: " + known));
	}

	namespace
	{
		/**
		 * A configuration value is one line: line breaks, NUL and the other control characters are
		 * refused rather than escaped, so what the page shows is what a person reads in the file.
		 */
		void refuseControlCharacters(const std::string& name, const std::vector<std::string>& values)
		{
			for (const std::string& element : values)
			{
				for (const char character : element)
				{
					const unsigned char code = static_cast<unsigned char>(character);
					if (code >= 0x20 && code != 0x7F)
					{
						continue;
					}
					char shown[8];
					switch (character)
					{
					case '\n':
						std::snprintf(shown, sizeof(shown), "\\n");
						break;
					case '\r':
						std::snprintf(shown, sizeof(shown), "\\r");
						break;
					case '\t':
						std::snprintf(shown, sizeof(shown), "\\t");
						break;
					default:
						std::snprintf(shown, sizeof(shown), "\\x%02X", code);
						break;
					}
					throw InputError("", "a value for " + name + " cannot hold a line break or other control character (found " + shown + "); nothing was written");
				}
			}
		}
	} // namespace

	void applyValues(const FProperty& property, UObject& object, const std::vector<std::string>& values)
	{
		void* value = property.ContainerPtrToValuePtr(&object);
		const std::string name = text(property.GetName());
		refuseControlCharacters(name, values);
		if (property.GetKind() != EPropertyKind::Array)
		{
			if (values.size() != 1)
			{
				throw InputError("", name + " takes exactly one value, got " + std::to_string(values.size()));
			}
			FString before;
			property.ExportTextItem(before, value);
			if (!property.ImportText(*FString(values.front()), value))
			{
				property.ImportText(*before, value);
				throw InputError("", "'" + values.front() + "' is not a valid value for " + name + " (" + text(property.GetCPPType()) + ")");
			}
			return;
		}

		const FProperty* inner = property.GetInner();
		const FPropertyValueOps& ops = property.GetOps();
		TArray<FString> before;
		for (int32 index = 0; index < ops.ArrayNum(value); ++index)
		{
			FString element;
			inner->ExportTextItem(element, ops.ArrayElement(value, index));
			before.Add(element);
		}
		auto fill = [&](const TArray<FString>& elements) -> int32 {
			ops.ArrayEmpty(value);
			for (int32 index = 0; index < elements.Num(); ++index)
			{
				if (!inner->ImportText(*elements[index], ops.ArrayElement(value, ops.ArrayAddDefaulted(value))))
				{
					return index;
				}
			}
			return INDEX_NONE;
		};
		TArray<FString> after;
		for (const std::string& element : values)
		{
			after.Add(FString(element));
		}
		const int32 bad = fill(after);
		if (bad != INDEX_NONE)
		{
			fill(before);
			throw InputError("", "'" + values[static_cast<std::size_t>(bad)] + "' is not a valid element for " + name + " (" + text(property.GetCPPType()) + ")");
		}
	}

	namespace
	{

		void failOnWriteError()
		{
			const FString error = GConfig ? GConfig->GetLastWriteError() : FString();
			if (!error.IsEmpty())
			{
				throw RuntimeFailure("cannot write the configuration: " + text(error));
			}
		}
	} // namespace

	void showSettings(const SettingsOptions& options, std::FILE* out)
	{
		EditorSession session(options.project);
		if (options.json)
		{
			output::LineWriter writer(out);
			for (const TSharedPtr<ISettingsSection>& section : session.registry().GetAllSections())
			{
				writer.writeJson(sectionJson(*section));
			}
			return;
		}
		bool first = true;
		for (const TSharedPtr<ISettingsSection>& section : session.registry().GetAllSections())
		{
			if (!first)
			{
				std::fprintf(out, "\n");
			}
			first = false;
			printSection(*section, out);
		}
		if (first)
		{
			std::fprintf(out, "No settings pages are registered.\n");
		}
	}

	void setSetting(const SettingsOptions& options, std::FILE* out)
	{
		EditorSession session(options.project);
		const Found found = findProperty(session.registry(), options.name);
		const std::string name = text(found.property->GetName());
		if (!isEditable(*found.property))
		{
			throw InputError("", name + " is read-only");
		}
		const EditCondition condition = editConditionOf(*found.object->GetClass(), *found.property);
		if (!editConditionMet(condition, *found.object))
		{
			throw InputError("", name + " can only be edited while " + condition.expression + " is " + (condition.negated ? "false" : "true") + "; nothing was written");
		}
		applyValues(*found.property, *found.object, options.values);

		// As the settings editor: the page's handler decides whether the page is saved.
		const bool shouldSave = found.section->NotifySectionOnPropertyModified();
		failOnWriteError();
		if (!shouldSave)
		{
			throw RuntimeFailure("the settings page did not accept the change; " + name + " was not saved");
		}
		found.section->Save();
		failOnWriteError();

		if (options.json)
		{
			output::LineWriter(out).writeJson({{"type", "saved"},
				{"name", name},
				{"value", valueText(*found.property, *found.object)},
				{"file", text(pageFile(*found.object))},
				{"configSection", text(found.object->GetClass()->GetStructPathName())},
				{"restartRequired", needsRestart(*found.property)}});
			return;
		}
		std::fprintf(out, "%s = %s\n", name.c_str(), valueText(*found.property, *found.object).c_str());
		std::fprintf(out, "saved to %s\n", configPlace(*found.object).c_str());
		if (needsRestart(*found.property))
		{
			std::fprintf(out, "Restart the editor for this change to take effect.\n");
		}
	}
} // namespace quarnlive::settings
