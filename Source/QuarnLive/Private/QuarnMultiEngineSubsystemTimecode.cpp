// Timecode answers and the conversions of the custom payloads.

#include "Misc/App.h"
#include "QuarnLiveLog.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionSettings.h"
#include "Status/QuarnMediaFormatKind.h"
#include "UObject/Class.h"

#include <cstdlib>

quarn::QuarnTransform<float> UQuarnMultiEngineSubsystem::ConvertToQuarnTransformF(const FTransform& Transform)
{
	const FVector Location = Transform.GetTranslation();
	const FVector Euler = Transform.GetRotation().Euler();
	const FVector Scale = Transform.GetScale3D();
	quarn::QuarnTransform<float> Result;
	const double Values[9] = {Location.X, Location.Y, Location.Z, Euler.X, Euler.Y, Euler.Z, Scale.X, Scale.Y, Scale.Z};
	for (int32 Index = 0; Index < 9; ++Index)
	{
		Result[Index] = static_cast<float>(Values[Index]);
	}
	return Result;
}

FTransform UQuarnMultiEngineSubsystem::ConvertToFTransform(const quarn::QuarnTransform<float>& Transform)
{
	const FQuat Rotation = FQuat::MakeFromEuler(FVector(Transform[3], Transform[4], Transform[5]));
	return FTransform(Rotation, FVector(Transform[0], Transform[1], Transform[2]), FVector(Transform[6], Transform[7], Transform[8]));
}

quarn::Timecode UQuarnMultiEngineSubsystem::getTimecode()
{
	if (!CanReceive() || !IsValid(this))
	{
		return quarn::Timecode(quarn::FrameRate());
	}

	const FTimecode Timecode = FApp::GetTimecode();
	FFrameRate Rate = FApp::GetTimecodeFrameRate();
	int32 Frames = Timecode.Frames;
	const UQuarnVirtualProductionSettings* Settings = GetDefault<UQuarnVirtualProductionSettings>();
	if (Settings && Settings->MediaFormatKind == QuarnMediaFormatKind::Interlaced)
	{
		Frames /= 2;
		Rate.Numerator /= 2;
	}

	if (!LogQuarnLive.IsSuppressed(ELogVerbosity::Log))
	{
		const bool bNegative = Timecode.Hours < 0 || Timecode.Minutes < 0 || Timecode.Seconds < 0 || Frames < 0;
		const FString Text = FString::Printf(Timecode.bDropFrameFormat ? TEXT("%s%02d:%02d:%02d;%02d") : TEXT("%s%02d:%02d:%02d:%02d"),
			bNegative ? TEXT("-") : TEXT(""), std::abs(Timecode.Hours), std::abs(Timecode.Minutes), std::abs(Timecode.Seconds), std::abs(Frames));
		UE_LOG(LogQuarnLive, Log, TEXT("Sending timecode %s @ %s to Quarn Virtual Production Server"), *Text, *Rate.ToPrettyText().ToString());
	}

	const float FramesPerSecond = static_cast<float>(static_cast<double>(Rate.Numerator) / static_cast<double>(Rate.Denominator));
	return quarn::Timecode(static_cast<uint32>(Timecode.Hours), static_cast<uint32>(Timecode.Minutes), static_cast<uint32>(Timecode.Seconds),
		static_cast<uint32>(Frames), quarn::FrameRate(FramesPerSecond));
}
