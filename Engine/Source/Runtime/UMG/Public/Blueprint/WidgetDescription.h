#pragma once

#include "CoreMinimal.h"
#include "Math/Vector2D.h"

/** What one element of a described widget draws. */
enum class EWidgetElementKind : uint8
{
	/** A filled rectangle with an optional border. */
	Box,
	/** A line of text in the engine's default font (DejaVu Sans). */
	Text,
	/** A picture read from a PNG file, stretched to the element's size. */
	Image,
};

/** One element of a described widget, placed on the widget's canvas in pixels from its top-left corner. */
struct UMG_API FWidgetElement
{
	EWidgetElementKind Kind = EWidgetElementKind::Box;
	FVector2D Position;
	/** The box or image size; ignored by text, which is as large as its glyphs. */
	FVector2D Size;
	/** Box fill, text colour or image tint (multiplied), linear. */
	FLinearColor Color = FLinearColor::White;
	/** 0 draws no border; the border lies inside the box. */
	float BorderThickness = 0.f;
	FLinearColor BorderColor = FLinearColor::Black;
	FString Text;
	/** Font size in pixels per em. */
	int32 FontSize = 24;
	bool bBold = false;
	/** The PNG file of an image element. */
	FString ImagePath;
	/** Multiplies the element's alpha. */
	float Opacity = 1.f;
};

/** Which value of an element an animation changes. */
enum class EWidgetAnimatedProperty : uint8
{
	Opacity,
	PositionX,
	PositionY,
};

/** A linear change of one element's value over time, played while the widget is on the viewport. */
struct UMG_API FWidgetAnimation
{
	int32 ElementIndex = 0;
	EWidgetAnimatedProperty Property = EWidgetAnimatedProperty::Opacity;
	float From = 0.f;
	float To = 1.f;
	/** Seconds from From to To; not positive means the animation shows To at once. */
	float Duration = 1.f;
	/** Starts again from From after Duration; otherwise holds To. */
	bool bLoop = false;
};

/** The content of a headless user widget. */
struct UMG_API FWidgetDescription
{
	TArray<FWidgetElement> Elements;
	TArray<FWidgetAnimation> Animations;

	/** The elements as they stand AnimationTime seconds into the animations. */
	TArray<FWidgetElement> Evaluate(double AnimationTime) const;
};
