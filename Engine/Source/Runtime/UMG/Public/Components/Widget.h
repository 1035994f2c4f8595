#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "Widget.generated.h"

class SWidget;

/** The base of UMG widgets: a UObject that makes and keeps its Slate widget. */
UCLASS(Abstract)
class UMG_API UWidget : public UObject
{
	GENERATED_BODY()

public:
	/** The Slate widget, built on first use and kept afterwards. */
	TSharedRef<SWidget> TakeWidget();
	/** The Slate widget if it was built, else null. */

	/** Whether the widget is on the viewport. */
	UFUNCTION(BlueprintCallable, Category = "Widget")
	virtual bool IsInViewport() const;

	/** Takes the widget off the viewport (or out of its parent panel). */
	UFUNCTION(BlueprintCallable, Category = "Widget")
	virtual void RemoveFromParent();

	void BeginDestroy() override;

protected:
	/** Makes the Slate widget; called by TakeWidget the first time. */
	virtual TSharedRef<SWidget> RebuildWidget();

private:
	TSharedPtr<SWidget> MyWidget;
};
