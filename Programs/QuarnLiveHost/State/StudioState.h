#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace quarnlive::state
{
	class Section;

	// One accessor per section, each in its own file.
	const Section& vpSettingsSection();
	const Section& zentrelsSection();
	const Section& vpEngineSection();
	const Section& cameraCalibrationSection();
	const Section& vpEditorSection();
	const Section& mediaEditorSection();
	const Section& engineSection();
	const Section& liveLinkSection();
	const Section& camerasSection();
	const Section& mediaSection();
	const Section& syncSection();
	const Section& timedDataMonitorSection();
	const Section& viewportSection();
	const Section& mediaAssetsSection();
	const Section& multiEngineSection();
	const Section& umgSection();

	/** Every section, in the order they are applied. */
	const std::vector<const Section*>& sections();

	/** Checks a whole state object; errors name places below path ("$.state" or a patch's path). */
	void checkState(const nlohmann::ordered_json& state, const std::string& path);
	/** Before the engine boots: what decides which objects the engine creates. */
	void applyBeforeBoot(const nlohmann::ordered_json& state);
	/** With the engine running; previous is the state applied last (null for the first time). */
	void apply(const nlohmann::ordered_json& state, const nlohmann::ordered_json& previous);
} // namespace quarnlive::state
