#include "State/StudioState.h"

#include "Json/Checks.h"
#include "State/Section.h"

namespace quarnlive::state
{
	namespace
	{
		const nlohmann::ordered_json& sectionOf(const nlohmann::ordered_json& state, const std::string& key)
		{
			static const nlohmann::ordered_json absent;
			if (!state.is_object())
			{
				return absent;
			}
			const auto found = state.find(key);
			return found == state.end() ? absent : *found;
		}
	} // namespace

	const std::vector<const Section*>& sections()
	{
		static const std::vector<const Section*> all = {
			&vpSettingsSection(),
			&zentrelsSection(),
			&vpEngineSection(),
			&cameraCalibrationSection(),
			&statusSection(),
			&contentSection(),
			&vpEditorSection(),
			&mediaEditorSection(),
			&engineSection(),
			&liveLinkSection(),
			&camerasSection(),
			&mediaSection(),
			&syncSection(),
			&timedDataMonitorSection(),
			&viewportSection(),
			&mediaAssetsSection(),
			&multiEngineSection(),
			&umgSection(),
			&pluginSection(),
		};
		return all;
	}

	void checkState(const nlohmann::ordered_json& state, const std::string& path)
	{
		json::ObjectReader reader(state, path);
		for (const Section* section : sections())
		{
			if (const nlohmann::ordered_json* value = reader.find(section->key()))
			{
				section->validate(*value, reader.pathOf(section->key()));
			}
		}
		reader.rejectUnknown();
	}

	void applyBeforeBoot(const nlohmann::ordered_json& state, RunState& run)
	{
		for (const Section* section : sections())
		{
			section->applyBeforeBoot(sectionOf(state, section->key()), run);
		}
	}

	void apply(const nlohmann::ordered_json& state, const nlohmann::ordered_json& previous, RunState& run)
	{
		for (const Section* section : sections())
		{
			section->apply(sectionOf(state, section->key()), sectionOf(previous, section->key()), run);
		}
	}
} // namespace quarnlive::state
