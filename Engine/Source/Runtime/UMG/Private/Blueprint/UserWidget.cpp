#include "Blueprint/UserWidget.h"

#include "Blueprint/GameViewportSubsystem.h"
#include "Slate/SDescribedWidget.h"

void UUserWidget::AddToViewport(int32 ZOrder)
{
	if (UGameViewportSubsystem* Viewport = UGameViewportSubsystem::Get())
	{
		Viewport->AddWidget(this, ZOrder);
	}
}

bool UUserWidget::IsInViewport() const
{
	return Super::IsInViewport();
}

void UUserWidget::RemoveFromParent()
{
	Super::RemoveFromParent();
}

void UUserWidget::SetDescription(const FWidgetDescription& InDescription)
{
	Description = InDescription;
}

void UUserWidget::NativeTick(float InDeltaTime)
{
	// Time never runs backwards: a negative frame would replay what was shown.
	AnimationTime += FMath::Max(InDeltaTime, 0.f);
}

TSharedRef<SWidget> UUserWidget::RebuildWidget()
{
	return MakeShared<SDescribedWidget>(this);
}
