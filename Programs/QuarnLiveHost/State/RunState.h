#pragma once

// What a run keeps from one studio state to the next: the objects the sections made in the
// engine, and the choices that wait for the engine's boot. runScenario owns one for the whole
// run and hands it to every apply; the engine's shutdown destroys the objects, so the weak
// pointers read null after it.

#include "MultiEngine/FakeServer.h"
#include "State/UmgWidgets.h"

#include "Misc/FrameRate.h"
#include "UObject/Object.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

class AActor;
class UWorld;

namespace quarnlive::state
{
	/** "cameras": the actors made for the description applied last, stale ones included. */
	struct CameraActors
	{
		TArray<TWeakObjectPtr<AActor>> actors;
		/** cameras.actors as it was when the actors were made. */
		nlohmann::ordered_json description;
	};

	/** "multiEngine": whether and how the server starts; read once, as the engine boots. */
	struct MultiEngineChoice
	{
		// Off unless a scenario asks: runs side by side must not fight over port 10001.
		bool enabled = false;
		std::string bindAddress = "127.0.0.1";
		/** Unset keeps the project's bMultiEngineMaster. */
		std::optional<bool> master;
		/** "server": "fake": the module's server calls reach RunState::fakeServer, never a socket. */
		bool fakeServer = false;
	};

	struct RunState
	{
		/** "engine.world": the editor's world, made once per engine session and kept while it is closed. */
		TWeakObjectPtr<UWorld> editorWorld;
		CameraActors cameras;
		/** "liveLink": the settings objects made for the sources and subjects applied last. */
		TArray<TWeakObjectPtr<UObject>> liveLinkSettings;
		MultiEngineChoice multiEngine;
		/** Stands in for the server when multiEngine.fakeServer; its results follow "multiEngine.fakeResults" all run long. */
		multiengine::FakeServer fakeServer;
		/** "vpSettings.present" as last applied: the engine can suppress the default object but not say whether it does. */
		bool vpSettingsSuppressed = false;
		/** "umg": actions and the final line find the widgets here by name. */
		MadeWidgets widgets;
		/** The timecode rate the engine booted with, from the scenario's frameRate: what "engine.timecodeRate" returns to. */
		FFrameRate scenarioTimecodeRate;
		/** "engine.timecode" is set: frames leave the timecode alone. */
		bool timecodePinned = false;
	};
} // namespace quarnlive::state
