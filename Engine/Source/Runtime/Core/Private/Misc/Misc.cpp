#include "Internationalization/Text.h"
#include "Misc/FrameRate.h"
#include "Misc/Guid.h"
#include "Misc/Timecode.h"

#include <algorithm>
#include <cmath>
#include <random>

FGuid FGuid::NewGuid()
{
	static thread_local std::mt19937 Generator{std::random_device{}()};
	FGuid Guid;
	do
	{
		Guid = FGuid(Generator(), Generator(), Generator(), Generator());
	} while (!Guid.IsValid());
	return Guid;
}

FString FGuid::ToString() const
{
	return FString::Printf(TEXT("%08X%08X%08X%08X"), A, B, C, D);
}

FText FFrameRate::ToPrettyText() const
{
	const double Rate = AsDecimal();
	if (std::floor(Rate) == Rate)
	{
		return FText::FromString(FString::Printf(TEXT("%d fps"), static_cast<int32>(Rate)));
	}
	return FText::FromString(FString::Printf(TEXT("%.2f fps"), Rate));
}

namespace
{
	// Drop-frame counting exists only for the NTSC rates.
	bool IsDropFormatTimecodeSupported(const FFrameRate& Rate) { return Rate == FFrameRate(30000, 1001) || Rate == FFrameRate(60000, 1001); }
} // namespace

FTimecode FTimecode::FromSeconds(double InSeconds, const FFrameRate& Rate, bool bDropFrame)
{
	const bool bDrop = bDropFrame && IsDropFormatTimecodeSupported(Rate);
	int64 FrameCount = static_cast<int64>(std::floor(InSeconds * Rate.AsDecimal() + 1e-6));
	// Rates below one frame a second still count whole frames.
	const int64 Nominal = std::max<int64>(1, std::llround(Rate.AsDecimal()));
	if (bDrop)
	{
		// Frame numbers 0 and 1 (twice that at 59.94) are skipped each minute except every tenth.
		const int64 Dropped = Nominal / 15;
		const int64 FramesPerTenMinutes = Nominal * 600 - Dropped * 9;
		const int64 FramesPerMinute = Nominal * 60 - Dropped;
		const int64 TenMinuteChunks = FrameCount / FramesPerTenMinutes;
		const int64 Remainder = FrameCount % FramesPerTenMinutes;
		FrameCount += Dropped * 9 * TenMinuteChunks;
		if (Remainder > Dropped)
		{
			FrameCount += Dropped * ((Remainder - Dropped) / FramesPerMinute);
		}
	}
	FTimecode Result;
	Result.bDropFrameFormat = bDrop;
	Result.Frames = static_cast<int32>(FrameCount % Nominal);
	const int64 TotalSeconds = FrameCount / Nominal;
	Result.Seconds = static_cast<int32>(TotalSeconds % 60);
	Result.Minutes = static_cast<int32>((TotalSeconds / 60) % 60);
	Result.Hours = static_cast<int32>((TotalSeconds / 3600) % 24);
	return Result;
}

FString FTimecode::ToString(bool bForceSignDisplay) const
{
	return FString::Printf(TEXT("%s%02d:%02d:%02d%c%02d"), bForceSignDisplay ? "+" : "", Hours, Minutes, Seconds,
		bDropFrameFormat ? ';' : ':', Frames);
}
