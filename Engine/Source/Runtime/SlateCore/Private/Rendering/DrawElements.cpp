#include "Rendering/DrawElements.h"

#include "SlateCoreLog.h"

DEFINE_LOG_CATEGORY(LogSlate)

void FSlateDrawElement::MakeRoundedBox(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry,
	const FLinearColor& FillColor, float BorderThickness, const FLinearColor& BorderColor, float CornerRadius)
{
	FSlateDrawElement& Element = NewElement(ElementList, ESlateDrawElementType::Box, InLayer, PaintGeometry, FillColor);
	Element.BorderThickness = BorderThickness > 0.f ? BorderThickness : 0.f;
	Element.BorderColor = BorderColor;
	Element.CornerRadius = CornerRadius > 0.f ? CornerRadius : 0.f;
}

void FSlateDrawElement::MakeText(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry, const FString& Text,
	const FSlateFontInfo& FontInfo, const FLinearColor& Tint)
{
	if (Text.IsEmpty())
	{
		return;
	}
	FSlateDrawElement& Element = NewElement(ElementList, ESlateDrawElementType::Text, InLayer, PaintGeometry, Tint);
	Element.Text = Text;
	Element.FontInfo = FontInfo;
}

void FSlateDrawElement::MakeImage(FSlateWindowElementList& ElementList, int32 InLayer, const FGeometry& PaintGeometry,
	const TSharedPtr<const FImage>& Image, const FLinearColor& Tint)
{
	if (!Image.IsValid() || Image->IsEmpty())
	{
		return;
	}
	FSlateDrawElement& Element = NewElement(ElementList, ESlateDrawElementType::Image, InLayer, PaintGeometry, Tint);
	Element.Image = Image;
}

FSlateDrawElement& FSlateDrawElement::NewElement(FSlateWindowElementList& ElementList, ESlateDrawElementType InElementType, int32 InLayer,
	const FGeometry& PaintGeometry, const FLinearColor& InTint)
{
	FSlateDrawElement& Element = ElementList.AddElement();
	Element.ElementType = InElementType;
	Element.Layer = InLayer;
	Element.Geometry = PaintGeometry;
	Element.Tint = InTint;
	return Element;
}
