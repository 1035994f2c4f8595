#pragma once

namespace quarnlive::run
{
	/** Makes the editor's world (once per engine session) and makes it the current world. */
	void openEditorWorld();
	/** Opens or closes the current world; closing keeps the world and its actors for reopening. */
	void setEditorWorldOpen(bool open);
	/** Forgets the world; the engine's shutdown destroys it. */
	void closeEditorWorld();
} // namespace quarnlive::run
