#pragma once

#include "CoreMinimal.h"

class FSlateWindowElementList;
struct FGeometry;

/**
 * The base of every Slate widget: it ticks and paints itself into a list of draw elements,
 * which a renderer then rasterises.
 */
class SLATECORE_API SWidget
{
public:
	virtual ~SWidget() = default;

	/** Advances the widget's own state by InDeltaTime seconds. */
	virtual void Tick(const FGeometry& AllottedGeometry, const double InCurrentTime, const float InDeltaTime) {}

	/**
	 * Adds the widget's draw elements for AllottedGeometry to OutDrawElements.
	 * @return the highest layer used
	 */
	virtual int32 OnPaint(const FGeometry& AllottedGeometry, FSlateWindowElementList& OutDrawElements, int32 LayerId) const = 0;
};
