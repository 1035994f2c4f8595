#include "Components/Widget.h"

#include "Blueprint/GameViewportSubsystem.h"
#include "Slate/SDescribedWidget.h"
#include "UMGLog.h"

DEFINE_LOG_CATEGORY(LogUMG)

TSharedRef<SWidget> UWidget::TakeWidget()
{
	// Building needs no Slate application: callers ask FSlateApplication before they draw.
	if (!MyWidget.IsValid())
	{
		MyWidget = RebuildWidget();
	}
	return MyWidget.ToSharedRef();
}

bool UWidget::IsInViewport() const
{
	const UGameViewportSubsystem* Viewport = UGameViewportSubsystem::Get();
	return Viewport && Viewport->IsWidgetAdded(this);
}

void UWidget::RemoveFromParent()
{
	if (UGameViewportSubsystem* Viewport = UGameViewportSubsystem::Get())
	{
		Viewport->RemoveWidget(this);
	}
}

void UWidget::BeginDestroy()
{
	MyWidget.Reset();
	Super::BeginDestroy();
}

TSharedRef<SWidget> UWidget::RebuildWidget()
{
	return MakeShared<SEmptyWidget>();
}
