#pragma once

#include "UObject/Object.h"

class UWorld;

// world is the run's own (RunState::editorWorld): the editor has one world per engine session.
namespace quarnlive::run
{
	/** Makes the editor's world (once per engine session) and makes it the current world. */
	void openEditorWorld(TWeakObjectPtr<UWorld>& world);
	/** Opens or closes the current world; closing keeps the world and its actors for reopening. */
	void setEditorWorldOpen(TWeakObjectPtr<UWorld>& world, bool open);
	/** Forgets the world; the engine's shutdown destroys it. */
	void closeEditorWorld(TWeakObjectPtr<UWorld>& world);
} // namespace quarnlive::run
