// "vpSettings": the plug-in's virtual-production settings (the class default object).

#include "State/EnumText.h"
#include "State/FieldChecks.h"
#include "State/FrameRateText.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "QuarnVirtualProductionSettings.h"
#include "UObject/Class.h"

#include <charconv>
#include <functional>
#include <optional>

namespace quarnlive::state
{
	namespace
	{
		void setPresent(RunState& run, bool present)
		{
			run.vpSettingsSuppressed = !present;
			UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(run.vpSettingsSuppressed);
		}

		// Values still reach a suppressed default object, so bringing it back shows them.
		void editSettings(const RunState& run, const std::function<void(UQuarnVirtualProductionSettings&)>& edit)
		{
			UClass* settingsClass = UQuarnVirtualProductionSettings::StaticClass();
			settingsClass->SetDefaultObjectSuppressed(false);
			if (UQuarnVirtualProductionSettings* settings = GetMutableDefault<UQuarnVirtualProductionSettings>())
			{
				edit(*settings);
			}
			settingsClass->SetDefaultObjectSuppressed(run.vpSettingsSuppressed);
		}

		/** The mode's value from an integer or from its display name (or enumerator name). */
		std::optional<int64> findMode(const nlohmann::ordered_json& value)
		{
			const UEnum* modes = StaticEnum<EQuarnVirtualProductionMode>();
			if (value.is_number_integer())
			{
				const int64 number = value.get<int64>();
				return modes->GetIndexByValue(number) != INDEX_NONE ? std::optional<int64>(number) : std::nullopt;
			}
			return findValueByName(*modes, value.get<std::string>());
		}

		void checkMode(const nlohmann::ordered_json& value, const std::string& path)
		{
			const UEnum* modes = StaticEnum<EQuarnVirtualProductionMode>();
			if (!value.is_number_integer() && !value.is_string())
			{
				throw InputError(path, "expected a compositing mode (0 to " + std::to_string(modes->NumEnums() - 1) + " or one of " + quotedDisplayNames(*modes) + "), got " + json::describe(value));
			}
			if (!findMode(value))
			{
				throw InputError(path, "unknown compositing mode " + value.dump() + ": expected 0 to " + std::to_string(modes->NumEnums() - 1) + " or one of " + quotedDisplayNames(*modes));
			}
		}

		Field boolField(std::string key, bool defaultValue, bool UQuarnVirtualProductionSettings::*member)
		{
			return Field{std::move(key), defaultValue, isBool(), [member](const nlohmann::ordered_json& value, RunState& run) {
							 editSettings(run, [&](UQuarnVirtualProductionSettings& settings) { settings.*member = value.get<bool>(); });
						 }};
		}
	} // namespace

	const Section& vpSettingsSection()
	{
		static const Section section("vpSettings", {
													   Field{"present", true, isBool(), [](const nlohmann::ordered_json& value, RunState& run) { setPresent(run, value.get<bool>()); }, true},
													   Field{"compositingMode", 0, checkMode, [](const nlohmann::ordered_json& value, RunState& run) {
																 editSettings(run, [&](UQuarnVirtualProductionSettings& settings) {
																	 settings.CompositingMode = static_cast<EQuarnVirtualProductionMode>(*findMode(value));
																 });
															 }},
													   boolField("checkZentrelCount", true, &UQuarnVirtualProductionSettings::bCheckZentrelCount),
													   boolField("reportSubjectTrackingErrors", true, &UQuarnVirtualProductionSettings::bReportSubjectTrackingErrors),
													   Field{"mediaFormat", "1080p25", isString(), [](const nlohmann::ordered_json& value, RunState& run) {
																 editSettings(run, [&](UQuarnVirtualProductionSettings& settings) { settings.MediaFormat = FString(value.get<std::string>()); });
															 }},
													   Field{"mediaFormatKind", 0, isInteger(), [](const nlohmann::ordered_json& value, RunState& run) {
																 editSettings(run, [&](UQuarnVirtualProductionSettings& settings) { settings.MediaFormatKind = static_cast<int32>(value.get<int64>()); });
															 }},
													   Field{"mediaFrameRate", "25", checkFrameRate, [](const nlohmann::ordered_json& value, RunState& run) {
																 editSettings(run, [&](UQuarnVirtualProductionSettings& settings) { settings.MediaFrameRate = *parseFrameRate(value.get<std::string>()); });
															 }},
													   boolField("hasTimeStep", false, &UQuarnVirtualProductionSettings::bHasTimeStep),
													   boolField("useCustomTimecodeProvider", false, &UQuarnVirtualProductionSettings::bUseCustomTimecodeProvider),
												   });
		return section;
	}
} // namespace quarnlive::state
