#pragma once

#include "CoreMinimal.h"
#include "Math/Vector2D.h"

/** What one element of a described widget draws. */
enum class EWidgetElementKind : uint8
{
	/** A filled rectangle with an optional border. */
	Box,
	/** Text in the engine's font (DejaVu Sans) or an installed family, on one line or wrapped. */
	Text,
	/** A picture read from a PNG file, stretched to the element's size. */
	Image,
};

/** Where the lines of a text element stand. */
enum class EWidgetTextAlignment : uint8
{
	/** Lines start at the element's X. */
	Left,
	/** Lines are centred on the wrap width's middle, or on X without a wrap width. */
	Center,
	/** Lines end at X plus the wrap width, or at X without a wrap width. */
	Right,
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
	/** Box corners rounded with this many pixels; 0 is square. */
	float CornerRadius = 0.f;
	/** 0 draws no border; the border lies inside the box. */
	float BorderThickness = 0.f;
	FLinearColor BorderColor = FLinearColor::Black;
	FString Text;
	/** Font size in pixels per em. */
	int32 FontSize = 24;
	bool bBold = false;
	bool bItalic = false;
	/** An installed font family; empty is the engine's font. */
	FString FontFamily;
	EWidgetTextAlignment Alignment = EWidgetTextAlignment::Left;
	/** Text breaks into lines no wider than this many pixels, between words (and between CJK characters); 0 keeps one line. */
	float WrapWidth = 0.f;
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
