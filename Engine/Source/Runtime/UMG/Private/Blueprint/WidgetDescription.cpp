#include "Blueprint/WidgetDescription.h"

namespace
{
	float AnimatedValue(const FWidgetAnimation& Animation, double AnimationTime)
	{
		if (Animation.Duration <= 0.f)
		{
			return Animation.To;
		}
		double Elapsed = FMath::Max(AnimationTime, 0.0);
		if (Animation.bLoop)
		{
			Elapsed = std::fmod(Elapsed, static_cast<double>(Animation.Duration));
		}
		else if (Elapsed >= Animation.Duration)
		{
			return Animation.To;
		}
		const double Alpha = Elapsed / Animation.Duration;
		return static_cast<float>(Animation.From + (Animation.To - Animation.From) * Alpha);
	}
} // namespace

TArray<FWidgetElement> FWidgetDescription::Evaluate(double AnimationTime) const
{
	TArray<FWidgetElement> Result = Elements;
	// In list order, so a later animation of the same value wins.
	for (const FWidgetAnimation& Animation : Animations)
	{
		if (!Result.IsValidIndex(Animation.ElementIndex))
		{
			continue;
		}
		FWidgetElement& Element = Result[Animation.ElementIndex];
		const float Value = AnimatedValue(Animation, AnimationTime);
		switch (Animation.Property)
		{
		case EWidgetAnimatedProperty::Opacity:
			Element.Opacity = Value;
			break;
		case EWidgetAnimatedProperty::PositionX:
			Element.Position.X = Value;
			break;
		case EWidgetAnimatedProperty::PositionY:
			Element.Position.Y = Value;
			break;
		}
	}
	return Result;
}
