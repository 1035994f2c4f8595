#pragma once

#include "CoreMinimal.h"
#include "Math/Vector2D.h"

/** Where a widget or a draw element lies in the window: its top-left corner and size, in pixels. */
struct SLATECORE_API FGeometry
{
	FVector2D AbsolutePosition;
	FVector2D Size;

	FGeometry() = default;
	FGeometry(const FVector2D& InAbsolutePosition, const FVector2D& InSize)
		: AbsolutePosition(InAbsolutePosition)
		, Size(InSize)
	{
	}

	/** The geometry of a window's root: Size pixels from the window's corner. */
	static FGeometry MakeRoot(const FVector2D& InSize) { return FGeometry(FVector2D::ZeroVector, InSize); }

	const FVector2D& GetAbsolutePosition() const { return AbsolutePosition; }
	const FVector2D& GetLocalSize() const { return Size; }

	/** A child placed LocalOffset pixels from this geometry's corner. */
	FGeometry MakeChild(const FVector2D& LocalOffset, const FVector2D& LocalSize) const
	{
		return FGeometry(AbsolutePosition + LocalOffset, LocalSize);
	}
};
