#pragma once

#include "CoreMinimal.h"
#include "Subsystems/EngineSubsystem.h"
#include "Tickable.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "GameViewportSubsystem.generated.h"

class UWidget;

/**
 * The widgets on the game or editor viewport, by Z-order. Holds them weakly: a destroyed
 * widget simply leaves the viewport. Every frame it ticks the user widgets on it, so their
 * animations play; it ticks in the editor, not while the game is paused.
 */
UCLASS()
class UMG_API UGameViewportSubsystem : public UEngineSubsystem, public FTickableGameObject
{
	GENERATED_BODY()

public:
	/** The engine's instance, or null without an engine. */
	static UGameViewportSubsystem* Get();

	void Deinitialize() override;

	/** Puts Widget above the widgets of ZOrder and below higher ones; a widget already there moves. */
	void AddWidget(UWidget* Widget, int32 ZOrder);
	/** The live widgets in paint order: ascending Z-order, then order of adding. */
	TArray<UWidget*> GetWidgets() const;

	void Tick(float DeltaTime) override;
	ETickableTickType GetTickableTickType() const override;
	TStatId GetStatId() const override;
	bool IsTickableWhenPaused() const override;
	bool IsTickableInEditor() const override;

private:
	// A widget takes itself off the viewport and asks whether it is on it.
	friend class UWidget;

	void RemoveWidget(UWidget* Widget);
	bool IsWidgetAdded(const UWidget* Widget) const;

	struct FViewportSlot
	{
		TWeakObjectPtr<UWidget> Widget;
		int32 ZOrder = 0;
	};

	/** Sorted by ZOrder; slots of equal ZOrder in order of adding. */
	TArray<FViewportSlot> Slots;
};
