#include "Blueprint/GameViewportSubsystem.h"

#include "Blueprint/UserWidget.h"
#include "Components/Widget.h"
#include "Engine/Engine.h"

UGameViewportSubsystem* UGameViewportSubsystem::Get()
{
	return GEngine ? Cast<UGameViewportSubsystem>(GEngine->GetEngineSubsystemBase(StaticClass())) : nullptr;
}

void UGameViewportSubsystem::Deinitialize()
{
	Slots.Empty();
	Super::Deinitialize();
}

void UGameViewportSubsystem::AddWidget(UWidget* Widget, int32 ZOrder)
{
	if (!IsValid(Widget))
	{
		return;
	}
	RemoveWidget(Widget);
	int32 InsertAt = Slots.Num();
	while (InsertAt > 0 && Slots[InsertAt - 1].ZOrder > ZOrder)
	{
		--InsertAt;
	}
	Slots.Insert(FViewportSlot{Widget, ZOrder}, InsertAt);
}

void UGameViewportSubsystem::RemoveWidget(UWidget* Widget)
{
	const TWeakObjectPtr<UWidget> Key(Widget);
	Slots.RemoveAll([&Key](const FViewportSlot& Slot) { return Slot.Widget == Key || Slot.Widget.IsStale(); });
}

bool UGameViewportSubsystem::IsWidgetAdded(const UWidget* Widget) const
{
	if (!IsValid(Widget))
	{
		return false;
	}
	const TWeakObjectPtr<UWidget> Key(Widget);
	return Slots.ContainsByPredicate([&Key](const FViewportSlot& Slot) { return Slot.Widget == Key; });
}

TArray<UWidget*> UGameViewportSubsystem::GetWidgets() const
{
	TArray<UWidget*> Widgets;
	for (const FViewportSlot& Slot : Slots)
	{
		if (UWidget* Widget = Slot.Widget.Get())
		{
			Widgets.Add(Widget);
		}
	}
	return Widgets;
}

void UGameViewportSubsystem::Tick(float DeltaTime)
{
	Slots.RemoveAll([](const FViewportSlot& Slot) { return !Slot.Widget.IsValid(); });
	// A widget's tick may add or remove widgets; the frame ticks the ones on the viewport when it began.
	TArray<TWeakObjectPtr<UWidget>> ToTick;
	ToTick.Reserve(Slots.Num());
	for (const FViewportSlot& Slot : Slots)
	{
		ToTick.Add(Slot.Widget);
	}
	for (const TWeakObjectPtr<UWidget>& Entry : ToTick)
	{
		if (UUserWidget* UserWidget = Cast<UUserWidget>(Entry.Get()))
		{
			UserWidget->NativeTick(DeltaTime);
		}
	}
}

ETickableTickType UGameViewportSubsystem::GetTickableTickType() const
{
	return IsTemplate() ? ETickableTickType::Never : ETickableTickType::Always;
}

TStatId UGameViewportSubsystem::GetStatId() const
{
	return GetStatID();
}

bool UGameViewportSubsystem::IsTickableWhenPaused() const
{
	return false;
}

bool UGameViewportSubsystem::IsTickableInEditor() const
{
	return true;
}
