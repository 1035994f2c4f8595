#pragma once

#include "CoreMinimal.h"
#include "Fonts/SlateFontInfo.h"
#include "ImageCore.h"
#include "Layout/Geometry.h"
#include "Templates/SharedPointer.h"

class FSlateWindowElementList;

/** What a draw element draws. */
enum class ESlateDrawElementType : uint8
{
	/** A filled rectangle, with an optional border inside its edges and optionally rounded corners. */
	Box,
	/** One line of text. */
	Text,
	/** A picture stretched over the element. */
	Image,
};

/**
 * One thing to draw, made by a widget's OnPaint. The renderer draws elements by ascending
 * layer, and elements of one layer in the order they were made. Colours are linear with
 * straight alpha. Geometry may lie between pixels: edges are anti-aliased.
 */
class SLATECORE_API FSlateDrawElement
{
public:
	/**
	 * A rectangle filled with FillColor and framed by a border of BorderThickness pixels that lies
	 * inside the rectangle, its corners rounded with CornerRadius pixels (the border follows them).
	 */
	static void MakeRoundedBox(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry,
		const FLinearColor& FillColor, float BorderThickness, const FLinearColor& BorderColor, float CornerRadius);

	/** One line of Text whose line top sits at the geometry's top edge and which starts at its left edge. */
	static void MakeText(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry, const FString& Text,
		const FSlateFontInfo& FontInfo, const FLinearColor& Tint);

	/**
	 * Image stretched over the geometry, each pixel multiplied by Tint, sampled bilinearly (from a
	 * box-filtered smaller copy when shrunk by more than half). A null or empty image draws nothing.
	 */
	static void MakeImage(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry,
		const TSharedPtr<const FImage>& Image, const FLinearColor& Tint);

	ESlateDrawElementType GetElementType() const { return ElementType; }
	int32 GetLayer() const { return Layer; }
	const FGeometry& GetGeometry() const { return Geometry; }
	/** Box fill, text colour or image tint. */
	const FLinearColor& GetTint() const { return Tint; }
	float GetBorderThickness() const { return BorderThickness; }
	const FLinearColor& GetBorderColor() const { return BorderColor; }
	float GetCornerRadius() const { return CornerRadius; }
	const FString& GetText() const { return Text; }
	const FSlateFontInfo& GetFontInfo() const { return FontInfo; }
	const TSharedPtr<const FImage>& GetImage() const { return Image; }

private:
	/** Adds an element with what every kind has; the caller fills in the rest. */
	static FSlateDrawElement& NewElement(FSlateWindowElementList& ElementList, ESlateDrawElementType InElementType, int32 InLayer,
		const FGeometry& PaintGeometry, const FLinearColor& InTint);

	ESlateDrawElementType ElementType = ESlateDrawElementType::Box;
	int32 Layer = 0;
	FGeometry Geometry;
	FLinearColor Tint = FLinearColor::White;
	float BorderThickness = 0.f;
	FLinearColor BorderColor = FLinearColor::Transparent;
	float CornerRadius = 0.f;
	FString Text;
	FSlateFontInfo FontInfo;
	TSharedPtr<const FImage> Image;
};

/** The draw elements that the widgets of one window painted, in the order they were made. */
class SLATECORE_API FSlateWindowElementList
{
public:
	const TArray<FSlateDrawElement>& GetDrawElements() const { return DrawElements; }
	int32 Num() const { return DrawElements.Num(); }
	/** Forgets the elements and keeps the storage for the next paint. */
	void Reset() { DrawElements.Reset(); }

private:
	friend class FSlateDrawElement;

	FSlateDrawElement& AddElement() { return DrawElements.Emplace_GetRef(); }

	TArray<FSlateDrawElement> DrawElements;
};
