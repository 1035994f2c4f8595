#pragma once

#include "CoreMinimal.h"

enum class ETickableTickType : uint8
{
	/** Asks IsTickable() every frame. */
	Conditional,
	Always,
	Never,
	/** Decided once, when the object is first seen by the tick list. */
	NewObject,
};

/** Something the engine ticks once per frame on the game thread. */
class ENGINE_API FTickableObjectBase
{
public:
	virtual ~FTickableObjectBase() = default;
	virtual void Tick(float DeltaTime) = 0;
	virtual ETickableTickType GetTickableTickType() const { return ETickableTickType::Conditional; }
	virtual TStatId GetStatId() const = 0;

protected:
	// Asked by the tick list, for objects whose tick type is Conditional or NewObject.
	virtual bool IsTickable() const { return true; }
};

/**
 * A tickable object of the game thread. It joins the engine's tick list on construction;
 * its tick type is read when the tick list first sees it, so a derived class decides it.
 */
class ENGINE_API FTickableGameObject : public FTickableObjectBase
{
public:
	FTickableGameObject();
	~FTickableGameObject() override;
	FTickableGameObject(const FTickableGameObject&) = delete;
	FTickableGameObject& operator=(const FTickableGameObject&) = delete;

	virtual bool IsTickableWhenPaused() const { return false; }
	virtual bool IsTickableInEditor() const { return false; }

private:
	// The engine loop ticks the objects once per frame.
	friend class FHeadlessEngineLoop;

	/**
	 * Ticks every registered object with DeltaTime.
	 * @param bIsEditor the engine runs as the editor (objects must be tickable in editor)
	 * @param bIsPaused the game is paused (objects must be tickable when paused)
	 */
	static void TickObjects(float DeltaTime, bool bIsEditor, bool bIsPaused);
};
