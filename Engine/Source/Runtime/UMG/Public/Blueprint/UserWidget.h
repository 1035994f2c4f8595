#pragma once

#include "Blueprint/WidgetDescription.h"
#include "Components/Widget.h"
#include "CoreMinimal.h"
#include "UserWidget.generated.h"

/**
 * A widget made of other widgets, as a widget blueprint would make it.
 *
 * Headless: its content is a FWidgetDescription (boxes, borders, text and images placed on
 * a canvas, and animations of them) instead of a designer tree. Animations advance only
 * while the widget is on the viewport, where the engine ticks it every frame.
 */
UCLASS()
class UMG_API UUserWidget : public UWidget
{
	GENERATED_BODY()

public:
	/** Puts the widget on the viewport of the game or editor, above widgets of a lower ZOrder. */
	UFUNCTION(BlueprintCallable, Category = "User Interface|Viewport")
	void AddToViewport(int32 ZOrder = 0);

	bool IsInViewport() const override;
	void RemoveFromParent() override;

	/** Replaces the widget's content; the Slate widget (if built) shows it from its next paint. */
	void SetDescription(const FWidgetDescription& InDescription);
	const FWidgetDescription& GetDescription() const { return Description; }

	/** Seconds of animation played since the widget was made. */
	double GetAnimationTime() const { return AnimationTime; }

protected:
	// The viewport ticks the widgets on it.
	friend class UGameViewportSubsystem;

	TSharedRef<SWidget> RebuildWidget() override;
	/** Advances the animations; the viewport calls this once per frame. */
	virtual void NativeTick(float InDeltaTime);

private:
	FWidgetDescription Description;
	double AnimationTime = 0.0;
};
