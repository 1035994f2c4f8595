#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace quarnlive::state
{
	class Section;
	struct MultiEngineChoice;
	struct RunState;

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
	const Section& pluginSection();
	const Section& statusSection();
	const Section& contentSection();

	/** Every section, in the order they are applied. */
	const std::vector<const Section*>& sections();

	/** Checks a whole state object; errors name places below path ("$.state" or a patch's path). */
	void checkState(const nlohmann::ordered_json& state, const std::string& path);
	/** Before the engine boots: what decides which objects the engine creates. */
	void applyBeforeBoot(const nlohmann::ordered_json& state, RunState& run);
	/** With the engine running; previous is the state applied last (null for the first time). */
	void apply(const nlohmann::ordered_json& state, const nlohmann::ordered_json& previous, RunState& run);
	/**
	 * As the engine boots, before its subsystems start the server: hands the multiEngine
	 * choice to the server (or puts the run's fake in its place) and the settings object (in
	 * memory only). Beside its section.
	 */
	void applyMultiEngineChoice(RunState& run);
} // namespace quarnlive::state
