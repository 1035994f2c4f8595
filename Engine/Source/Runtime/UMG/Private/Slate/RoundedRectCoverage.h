#pragma once

#include "CoreMinimal.h"

#include <cmath>

/**
 * How much of each pixel a rectangle with rounded corners covers, for anti-aliased edges.
 * Straight edges get the exact area; corners the distance to the arc at the pixel centre.
 */
struct FRoundedRectCoverage
{
	double MinX = 0.0;
	double MinY = 0.0;
	double MaxX = 0.0;
	double MaxY = 0.0;
	double Radius = 0.0;

	FRoundedRectCoverage() = default;
	FRoundedRectCoverage(double InMinX, double InMinY, double InMaxX, double InMaxY, double InRadius)
		: MinX(InMinX)
		, MinY(InMinY)
		, MaxX(InMaxX)
		, MaxY(InMaxY)
		, Radius(FMath::Clamp(InRadius, 0.0, FMath::Max(0.0, FMath::Min(InMaxX - InMinX, InMaxY - InMinY) * 0.5)))
	{
	}

	bool IsEmpty() const { return !(MaxX > MinX) || !(MaxY > MinY); }

	/** The part of row Y's height that lies inside, 0 to 1. */
	double RowOverlap(int32 Y) const { return Overlap(Y, MinY, MaxY); }

	/**
	 * The columns [OutSolidMinX, OutSolidMaxX) of row Y whose coverage is exactly RowOverlap(Y),
	 * and [OutMinX, OutMaxX) outside which it is 0. The solid span may be empty.
	 */
	void RowSpans(int32 Y, int32& OutMinX, int32& OutSolidMinX, int32& OutSolidMaxX, int32& OutMaxX) const
	{
		OutMinX = static_cast<int32>(std::floor(MinX));
		OutMaxX = static_cast<int32>(std::ceil(MaxX));
		OutSolidMinX = static_cast<int32>(std::ceil(MinX));
		OutSolidMaxX = static_cast<int32>(std::floor(MaxX));
		if (Radius > 0.0 && CornerDepth(Y + 0.5, MinY, MaxY) > 0.0)
		{
			// In a corner's rows only the columns between the corner circles' centres are solid.
			OutSolidMinX = FMath::Max(OutSolidMinX, static_cast<int32>(std::ceil(MinX + Radius - 0.5)));
			OutSolidMaxX = FMath::Min(OutSolidMaxX, static_cast<int32>(std::floor(MaxX - Radius - 0.5)) + 1);
		}
		OutSolidMaxX = FMath::Max(OutSolidMaxX, OutSolidMinX);
	}

	/** The covered part of pixel (X, Y), 0 to 1. */
	float Pixel(int32 X, int32 Y) const
	{
		double Coverage = Overlap(X, MinX, MaxX) * Overlap(Y, MinY, MaxY);
		if (Coverage > 0.0 && Radius > 0.0)
		{
			const double DepthX = CornerDepth(X + 0.5, MinX, MaxX);
			const double DepthY = CornerDepth(Y + 0.5, MinY, MaxY);
			if (DepthX > 0.0 && DepthY > 0.0)
			{
				const double Arc = Radius + 0.5 - std::sqrt(DepthX * DepthX + DepthY * DepthY);
				Coverage = FMath::Min(Coverage, FMath::Clamp(Arc, 0.0, 1.0));
			}
		}
		return static_cast<float>(Coverage);
	}

private:
	static double Overlap(int32 Pixel, double Min, double Max)
	{
		const double Covered = FMath::Min(Pixel + 1.0, Max) - FMath::Max(static_cast<double>(Pixel), Min);
		return FMath::Clamp(Covered, 0.0, 1.0);
	}

	/** How far Centre lies beyond the corner circles' centres on this axis; 0 when between them. */
	double CornerDepth(double Centre, double Min, double Max) const
	{
		return FMath::Max(FMath::Max(Min + Radius - Centre, Centre - (Max - Radius)), 0.0);
	}
};
