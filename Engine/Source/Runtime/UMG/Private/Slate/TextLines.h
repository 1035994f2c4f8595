#pragma once

#include "CoreMinimal.h"
#include "Blueprint/WidgetDescription.h"
#include "Fonts/SlateFontInfo.h"

/** One line of a text element and where it starts, in pixels from the element's position. */
struct FTextLine
{
	FString Text;
	double OffsetX = 0.0;
	double OffsetY = 0.0;
};

/**
 * Breaks Text into lines at line feeds and, with a positive WrapWidth, between words (or CJK
 * characters) so that no line is wider than WrapWidth unless one word alone is; then places
 * each line as Alignment says. Lines follow each other by the font's line height.
 */
TArray<FTextLine> BreakTextIntoLines(const FString& Text, const FSlateFontInfo& Font, float WrapWidth, EWidgetTextAlignment Alignment);
