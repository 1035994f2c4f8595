#include "SDescribedWidget.h"

#include "Blueprint/UserWidget.h"
#include "Fonts/FontCache.h"
#include "ImageUtils.h"
#include "Layout/Geometry.h"
#include "Rendering/DrawElements.h"
#include "TextLines.h"
#include "UMGLog.h"

SDescribedWidget::SDescribedWidget(UUserWidget* InOwner)
	: Owner(InOwner)
{
}

int32 SDescribedWidget::OnPaint(const FGeometry& AllottedGeometry, FSlateWindowElementList& OutDrawElements, int32 LayerId) const
{
	const UUserWidget* Widget = Owner.Get();
	if (!Widget)
	{
		return LayerId;
	}
	const TArray<FWidgetElement> Elements = Widget->GetDescription().Evaluate(Widget->GetAnimationTime());
	int32 Layer = LayerId;
	for (const FWidgetElement& Element : Elements)
	{
		const float Opacity = FMath::Clamp(Element.Opacity, 0.f, 1.f);
		if (Opacity <= 0.f)
		{
			continue;
		}
		FLinearColor Color = Element.Color;
		Color.A *= Opacity;
		switch (Element.Kind)
		{
		case EWidgetElementKind::Box:
		{
			FLinearColor BorderColor = Element.BorderColor;
			BorderColor.A *= Opacity;
			FSlateDrawElement::MakeRoundedBox(OutDrawElements, Layer, AllottedGeometry.MakeChild(Element.Position, Element.Size), Color,
				Element.BorderThickness, BorderColor, Element.CornerRadius);
			break;
		}
		case EWidgetElementKind::Text:
		{
			const FSlateFontInfo Font(Element.FontSize, Element.bBold, Element.bItalic, Element.FontFamily);
			for (const FTextLine& Line : BreakTextIntoLines(Element.Text, Font, Element.WrapWidth, Element.Alignment))
			{
				const FVector2D LineSize = FSlateFontCache::Get().MeasureText(Line.Text, Font);
				const FVector2D LinePosition = Element.Position + FVector2D(Line.OffsetX, Line.OffsetY);
				FSlateDrawElement::MakeText(OutDrawElements, Layer, AllottedGeometry.MakeChild(LinePosition, LineSize), Line.Text, Font, Color);
			}
			break;
		}
		case EWidgetElementKind::Image:
			FSlateDrawElement::MakeImage(OutDrawElements, Layer, AllottedGeometry.MakeChild(Element.Position, Element.Size), FindImage(Element.ImagePath), Color);
			break;
		}
		++Layer;
	}
	return Layer > LayerId ? Layer - 1 : LayerId;
}

const TSharedPtr<const FImage>& SDescribedWidget::FindImage(const FString& ImagePath) const
{
	auto Found = Images.find(ImagePath.ToStdString());
	if (Found != Images.end())
	{
		return Found->second;
	}
	TSharedPtr<const FImage>& Entry = Images[ImagePath.ToStdString()];
	TSharedPtr<FImage> Loaded = MakeShared<FImage>();
	if (FImageUtils::LoadImage(*ImagePath, *Loaded))
	{
		Entry = Loaded;
	}
	else
	{
		// Remembered as missing, so a widget painted every frame warns once.
		UE_LOG(LogUMG, Warning, TEXT("Image '%s' could not be read; the widget draws nothing in its place"), *ImagePath);
	}
	return Entry;
}
