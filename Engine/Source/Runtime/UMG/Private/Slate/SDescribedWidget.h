#pragma once

#include "CoreMinimal.h"
#include "ImageCore.h"
#include "UObject/Object.h"
#include "Widgets/SWidget.h"

#include <string>
#include <unordered_map>

class UUserWidget;

/**
 * The Slate widget of a user widget: paints the user widget's description as it stands at
 * the user widget's animation time. Holds the user widget weakly, so a renderer that keeps
 * this Slate widget after the user widget is destroyed draws nothing.
 */
class SDescribedWidget final : public SWidget
{
public:
	explicit SDescribedWidget(UUserWidget* InOwner);

	int32 OnPaint(const FGeometry& AllottedGeometry, FSlateWindowElementList& OutDrawElements, int32 LayerId) const override;

private:
	/** The picture of an image file, read on first use; null when it cannot be read. */
	const TSharedPtr<const FImage>& FindImage(const FString& ImagePath) const;

	TWeakObjectPtr<UUserWidget> Owner;
	mutable std::unordered_map<std::string, TSharedPtr<const FImage>> Images;
};

/** What a widget without content paints: nothing. */
class SEmptyWidget final : public SWidget
{
public:
	int32 OnPaint(const FGeometry& AllottedGeometry, FSlateWindowElementList& OutDrawElements, int32 LayerId) const override { return LayerId; }
};
