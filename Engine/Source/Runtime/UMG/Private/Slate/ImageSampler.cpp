#include "ImageSampler.h"

#include <algorithm>
#include <cmath>

namespace
{
	// Images a widget stops drawing are let go after this many draws.
	constexpr uint64 DrawsToKeepUnused = 120;

	/** The next level: each texel the average of the (up to) 2x2 it stands for. */
	FImageSampler::FLevel Halve(const FImageSampler::FLevel& Source)
	{
		FImageSampler::FLevel Result;
		Result.SizeX = (Source.SizeX + 1) / 2;
		Result.SizeY = (Source.SizeY + 1) / 2;
		Result.Texels.SetNum(Result.SizeX * Result.SizeY);
		for (int32 Y = 0; Y < Result.SizeY; ++Y)
		{
			for (int32 X = 0; X < Result.SizeX; ++X)
			{
				FLinearColor Sum(0.f, 0.f, 0.f, 0.f);
				int32 Count = 0;
				for (int32 SourceY = 2 * Y; SourceY < FMath::Min(2 * Y + 2, Source.SizeY); ++SourceY)
				{
					for (int32 SourceX = 2 * X; SourceX < FMath::Min(2 * X + 2, Source.SizeX); ++SourceX)
					{
						Sum = Sum + Source.Texels[SourceY * Source.SizeX + SourceX];
						++Count;
					}
				}
				Result.Texels[Y * Result.SizeX + X] = Sum * (1.f / static_cast<float>(Count));
			}
		}
		return Result;
	}
} // namespace

FLinearColor FImageSampler::FLevel::Sample(double U, double V) const
{
	const double ClampedU = FMath::Clamp(U, 0.0, static_cast<double>(SizeX - 1));
	const double ClampedV = FMath::Clamp(V, 0.0, static_cast<double>(SizeY - 1));
	const int32 X0 = static_cast<int32>(ClampedU);
	const int32 Y0 = static_cast<int32>(ClampedV);
	const int32 X1 = FMath::Min(X0 + 1, SizeX - 1);
	const int32 Y1 = FMath::Min(Y0 + 1, SizeY - 1);
	const float FX = static_cast<float>(ClampedU - X0);
	const float FY = static_cast<float>(ClampedV - Y0);
	const FLinearColor* Row0 = Texels.GetData() + static_cast<SIZE_T>(Y0) * SizeX;
	if (FX == 0.f && FY == 0.f)
	{
		// On a texel centre, as an image drawn at its own size on whole pixels always is.
		return Row0[X0];
	}
	const FLinearColor* Row1 = Texels.GetData() + static_cast<SIZE_T>(Y1) * SizeX;
	const FLinearColor Top = Row0[X0] * (1.f - FX) + Row0[X1] * FX;
	const FLinearColor Bottom = Row1[X0] * (1.f - FX) + Row1[X1] * FX;
	return Top * (1.f - FY) + Bottom * FY;
}

void FImageSampler::BeginDraw()
{
	++DrawCount;
	for (auto It = Images.begin(); It != Images.end();)
	{
		It = DrawCount - It->second.LastUsed > DrawsToKeepUnused ? Images.erase(It) : std::next(It);
	}
}

const FImageSampler::FLevel& FImageSampler::FindLevel(const TSharedPtr<const FImage>& Image, double DrawWidth, double DrawHeight)
{
	FPrepared& Prepared = Images[Image.Get()];
	if (!Prepared.Image)
	{
		Prepared.Image = Image;
		Prepare(*Image, Prepared);
	}
	Prepared.LastUsed = DrawCount;

	// Texels per pixel on the more shrunk axis; each halving takes one factor of two off it.
	const double Footprint = FMath::Max(Image->SizeX / FMath::Max(DrawWidth, 1e-6), Image->SizeY / FMath::Max(DrawHeight, 1e-6));
	int32 Level = 0;
	for (double Remaining = Footprint; Remaining >= 2.0; Remaining *= 0.5)
	{
		if (Level + 1 >= Prepared.Levels.Num())
		{
			const FLevel& Last = Prepared.Levels.Last();
			if (Last.SizeX == 1 && Last.SizeY == 1)
			{
				break;
			}
			Prepared.Levels.Add(Halve(Last));
		}
		++Level;
	}
	return Prepared.Levels[Level];
}

void FImageSampler::Prepare(const FImage& Image, FPrepared& OutPrepared)
{
	FLevel& Base = OutPrepared.Levels.AddDefaulted_GetRef();
	Base.SizeX = Image.SizeX;
	Base.SizeY = Image.SizeY;
	Base.Texels.SetNum(Image.SizeX * Image.SizeY);
	for (int32 Index = 0; Index < Base.Texels.Num(); ++Index)
	{
		const FLinearColor Texel(Image.RawData[Index]);
		Base.Texels[Index] = FLinearColor(Texel.R * Texel.A, Texel.G * Texel.A, Texel.B * Texel.A, Texel.A);
	}
}
